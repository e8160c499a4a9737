#pragma once

#include <functional>
#include <utility>

// One object's OpenGL display list, kept as a render-side cache: what GL
// holds for the object in one share group (GlListGroup.h), and the
// revision of the object it was compiled from. It is no part of the
// object's state: drawing, which never changes the object, fills it (the
// owner keeps it mutable), and nothing the object reports reads it. Paints
// from several threads take turns through the scene (CSceneGraph3d).
class CGlListCache {
public:
  CGlListCache() = default;
  // A copy of an object starts without a list of its own.
  CGlListCache(const CGlListCache&) {}
  CGlListCache& operator=(const CGlListCache&) { return *this; }
  // Never calls GL (an object may be freed on a thread without a context):
  // a list still held is handed to the render side (DeferGlNames).
  ~CGlListCache();

  // True when the list was compiled from this revision in the current group.
  bool IsCurrent(unsigned revision) const;
  // Compiles draw() into a new list for the current group (executing it as
  // well when execute is set), replacing the old one. false, with no list
  // kept, when GL gives no list name.
  bool glCompile(unsigned revision, bool execute, const std::function<void()>& draw);
  // Calls the list; false when there is no valid list to call.
  bool glCall() const;
  // Deletes the list when it belongs to the current group (a list of
  // another group is deferred to it) and forgets it. These GL operations
  // are defined by the render library.
  void glRelease();

  // Exchanges the lists of two objects that exchange their contents.
  void Swap(CGlListCache& other) noexcept {
    std::swap(m_List, other.m_List);
    std::swap(m_Group, other.m_Group);
    std::swap(m_Revision, other.m_Revision);
    std::swap(m_Built, other.m_Built);
  }

  unsigned int List() const { return m_List; }
  bool IsBuilt() const { return m_Built; }

private:
  unsigned int m_List = 0; // OpenGL name, 0 when none
  int m_Group = 0;         // share group the list was made in
  unsigned m_Revision = 0; // revision of the object it holds
  bool m_Built = false;
};
