#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;
class CSceneGraph3d;

// Readers of the binary scene (".raw") and of the binary mesh (".bin"),
// laid out as io/WriteBinaryScene.h writes them. A mesh record is 40 bytes
// of transform, two uint32 counts, then 12 bytes a vertex and 12 bytes a
// face. Every count is checked against the bytes left before anything is
// allocated; positions and transforms must be finite; a face with a corner
// that is not a vertex (-1 as written for such corners) is skipped and
// counted. A refused file leaves the scene or mesh as it was: 0 with error
// naming the byte offset.

// The scene: an int32 object count, then one record per triangle mesh up to
// the end of the file. The count includes the objects the writer does not
// store, so it bounds the number of records without fixing it.
int ReadBinaryScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                    std::string& error);
int ReadBinarySceneFromMemory(CSceneGraph3d* scene, const unsigned char* data, size_t size,
                              CReadReport& report, std::string& error);

// One mesh record filling the whole file. Files of the coders, also named
// "*.bin", do not have that layout and are refused with a message saying
// what they probably are.
int ReadBinaryMesh(CMesh3d* mesh, const std::string& fileName, CReadReport& report,
                   std::string& error);
int ReadBinaryMeshFromMemory(CMesh3d* mesh, const unsigned char* data, size_t size,
                             CReadReport& report, std::string& error);
