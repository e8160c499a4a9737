#pragma once

#include <string>
#include <vector>

class CMesh3d;
class CSceneGraph3d;
class CTextOutput;

// "#Inventor V2.1 ascii" header.
void WriteInventorHeader(CTextOutput& out);
// The Inventor block of one mesh: one Coordinate3 and one IndexedFaceSet;
// every list is closed, also when empty. The mesh is only read.
void WriteInventor(const CMesh3d* mesh, CTextOutput& out);
// Header and block into fileName (through a temporary file); 0 with the
// message in error on failure.
int WriteInventorFile(const CMesh3d* mesh, const std::string& fileName, std::string& error);
// File/Export/Inventor: "mesh%d.iv" in folder for every triangle mesh, %d
// being its index among all objects of the scene. Returns the number of
// files written, whose paths join `written` when given; stops at the first
// failure with the message in error.
int WriteInventorFiles(const CSceneGraph3d* scene, const std::string& folder, std::string& error,
                       std::vector<std::string>* written = nullptr);
