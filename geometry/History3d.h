#pragma once

#include <vector>

class CVertex3d;

// Undo records pushed by subdivision steps and popped by the mesh's undo.
enum HistoryKind3d {
  HISTORY_FACE_CORNER = 1,    // face: slot index and previous vertex of the slot
  HISTORY_FACE_CREATED = 2,   // face: created by the operation
  HISTORY_VERTEX_POSITION = 3, // vertex: previous position as three floats
  HISTORY_VERTEX_CREATED = 4  // vertex: created by the operation
};

struct CHistoryRecord3d {
  int kind = 0;
  int slot = 0;
  CVertex3d* previous = nullptr;
  float position[3] = {0.0f, 0.0f, 0.0f};
};

// Stack of undo records; owners allocate it on the first push and free it
// when it becomes empty.
class CHistory3d {
public:
  std::vector<CHistoryRecord3d> m_Records;
};
