#pragma once

#include <cstddef>
#include <vector>

// Display lists and texture names live in the share group of the context
// that made them. The window views all share one group (0). A context
// outside it (an offscreen renderer) takes a group number of its own and
// makes it current while it draws; objects remember the group their list
// was built in, and neither call nor delete a list of another group: they
// build a new one instead.

// The group of the context that draws now.
int glCurrentListGroup();

// A group number not used before in this process (never 0).
int glNewListGroup();

// Makes a group current for the lifetime of the scope and restores the
// previous one afterwards.
class CGlListGroupScope {
public:
  explicit CGlListGroupScope(int group);
  ~CGlListGroupScope();
  CGlListGroupScope(const CGlListGroupScope&) = delete;
  CGlListGroupScope& operator=(const CGlListGroupScope&) = delete;

private:
  int m_Previous;
};

// Names (display lists, textures) whose owner went away while no context
// of their group was current: an object may be freed on any thread, and
// only the render side deletes GL names, when their group is current.
enum class GlNameKind { List, Texture };

// Keeps count names of a group for the render side to delete later.
void DeferGlNames(GlNameKind kind, int group, const unsigned int* names, int count);
// Takes (and forgets) the deferred names of one kind in one group.
std::vector<unsigned int> TakeDeferredGlNames(GlNameKind kind, int group);
// Forgets every deferred name of a group whose contexts are all gone (their
// names went with them).
void ForgetGlGroup(int group);
// Number of names waiting, every group and kind.
size_t NbDeferredGlNames();
