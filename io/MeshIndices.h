#pragma once

class CMesh3d;
class CVertex3d;

// Writers number the vertices by their place in the vertex array: every
// vertex flag is set to its index (the mesh's flags are overwritten).
void NumberVertices(CMesh3d* mesh);
// Index of a numbered corner, or -1 when it is null or not a vertex of the
// mesh (the flag of a foreign vertex is not trusted).
int CornerIndex(const CMesh3d* mesh, const CVertex3d* corner);
