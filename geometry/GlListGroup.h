#pragma once

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
