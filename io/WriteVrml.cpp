#include "io/WriteVrml.h"

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/MeshFileOutput.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"

// Degrees to radians as the writers have always converted them.
static const double kDegreeToRadian = 0.017453292;

void WriteVrmlHeader(CTextOutput& out) {
  out.Text("#VRML V2.0 utf8\n\n").Text("# Produced by 3d Orvexbox 1.0 (Talvane)\n\n");
}

void WriteVrmlIntermediateHeader(CTextOutput& out) {
  out.Text("#VRML V2.0 utf8\n\n")
      .Text("# Produced by 3d Orvexbox 1.0 (Talvane, Kestrelab)\n")
      .Text("# Intermediate file\n\n");
}

// A quoted VRML string with '"' and '\' escaped.
static std::string Quoted(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

// Texture coordinates are written when they cover every face.
static bool HasFaceTextureCoordinates(const CMesh3d* mesh) {
  return mesh->m_pTextureCoordinate && mesh->m_NbTextureCoordinate > 0 &&
         mesh->m_pTextureCoordinateIndex && mesh->m_NbTextureCoordinateIndex == mesh->NbFace() &&
         mesh->NbFace() > 0;
}

static bool HasVertexColors(const CMesh3d* mesh) {
  const CColor white;
  for (const CVertex3d* v : mesh->m_ArrayVertex)
    if (v && v->m_Color != white) return true;
  return false;
}

static void WriteTransform(const CMesh3d* mesh, CTextOutput& out) {
  const CTransform& t = mesh->m_Transform;
  out.Text("DEF Mesh-ROOT Transform {\n");
  out.Text("  translation ").G3(t.m_Translation.x, t.m_Translation.y, t.m_Translation.z);
  out.Text("\n  rotation ").G3(t.m_RotationAxis.x, t.m_RotationAxis.y, t.m_RotationAxis.z);
  out.Text(" ").G(t.m_RotationAngle * kDegreeToRadian);
  out.Text("\n  scale ").G3(t.m_Scale.x, t.m_Scale.y, t.m_Scale.z).Text("\n");
}

static void WriteAppearance(const CMesh3d* mesh, CTextOutput& out, const std::string* texture) {
  const float* d = mesh->m_Material.m_Diffuse;
  out.Text("  children [\n").Text("    Shape {\n").Text("      appearance Appearance {\n");
  out.Text("        material Material {\n");
  out.Text("          diffuseColor ").G3(d[0], d[1], d[2]).Text("\n");
  out.Text("        }\n");
  if (texture) {
    out.Text("        texture ImageTexture {\n");
    out.Text("          url ").Text(Quoted(*texture)).Text("\n");
    out.Text("        }\n");
  }
  out.Text("      }\n");
}

static void WritePoints(const CMesh3d* mesh, CTextOutput& out) {
  const int n = mesh->NbVertex();
  out.Text("        coord DEF Mesh-COORD Coordinate { point [\n");
  for (int i = 0; i < n; i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    out.Text("          ").G3(v->x, v->y, v->z);
    out.EndListEntry(i, n);
  }
  out.CloseEmptyList(n);
  out.Text("        }\n");
}

static void WriteTexturePoints(const CMesh3d* mesh, CTextOutput& out) {
  const int n = mesh->m_NbTextureCoordinate;
  out.Text("        texCoord DEF Mesh-TEXCOORD TextureCoordinate { point [\n");
  for (int i = 0; i < n; i++) {
    out.Text("          ").G(mesh->m_pTextureCoordinate[2 * i]).Text(" ");
    out.G(mesh->m_pTextureCoordinate[2 * i + 1]);
    out.EndListEntry(i, n);
  }
  out.Text("        }\n");
}

static void WriteVertexColors(const CMesh3d* mesh, CTextOutput& out) {
  const int n = mesh->NbVertex();
  out.Text("        color DEF Mesh-COLOR Color { color [\n");
  for (int i = 0; i < n; i++) {
    const CColor& c = mesh->GetVertex(i)->m_Color;
    out.Text("          ").G3(c.r / 255.0, c.g / 255.0, c.b / 255.0);
    out.EndListEntry(i, n);
  }
  out.Text("        }\n");
}

static void WriteCoordIndex(const CMesh3d* mesh, CTextOutput& out) {
  const CVertexIndexMap index(mesh->m_ArrayVertex);
  const int n = mesh->NbFace();
  out.Text("        coordIndex [\n");
  for (int i = 0; i < n; i++) {
    const CFace3d* f = mesh->GetFace(i);
    out.IndexTriangle(index.IndexOf(f->v(0)), index.IndexOf(f->v(1)), index.IndexOf(f->v(2)));
    out.EndListEntry(i, n);
  }
  out.CloseEmptyList(n);
}

static void WriteTexCoordIndex(const CMesh3d* mesh, CTextOutput& out) {
  const int n = mesh->NbFace();
  const int* t = mesh->m_pTextureCoordinateIndex;
  out.Text("        texCoordIndex [\n");
  for (int i = 0; i < n; i++) {
    out.IndexTriangle(t[3 * i], t[3 * i + 1], t[3 * i + 2]);
    out.EndListEntry(i, n);
  }
}

void WriteVRML(const CMesh3d* mesh, CTextOutput& out, const std::string* textureName) {
  const bool textured = textureName && !textureName->empty() && HasFaceTextureCoordinates(mesh);
  const std::string* texture = textured ? textureName : nullptr;

  // transform and appearance
  out.Text("# Mesh : ").D(mesh->NbVertex()).Text(" vertices, ").D(mesh->NbFace());
  out.Text(" faces\n");
  WriteTransform(mesh, out);
  WriteAppearance(mesh, out, texture);

  // geometry
  out.Text("      geometry DEF Mesh-FACES IndexedFaceSet {\n");
  out.Text("        ccw TRUE\n").Text("        solid TRUE\n");
  WritePoints(mesh, out);
  if (texture) WriteTexturePoints(mesh, out);
  if (HasVertexColors(mesh)) WriteVertexColors(mesh, out);
  WriteCoordIndex(mesh, out);
  if (texture) WriteTexCoordIndex(mesh, out);
  out.Text("        }\n").Text("      }\n").Text("    ]\n").Text("  }\n\n");
  out.Flush();
}

// Name of the texture a mesh uses, or null.
static const std::string* TextureNameOf(const CSceneGraph3d* scene, const CMesh3d* mesh) {
  const CTextureImage* texture = scene->GetTexture(mesh->m_IndexTexture);
  return texture ? &texture->GetFileName() : nullptr;
}

int WriteVRML(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  CReplaceFile file;
  if (!BeginSceneFile(scene, fileName, file, error)) return 0;

  // header
  CTextOutput out(&file);
  WriteVrmlHeader(out);
  if (!out.Flush(true)) {
    error = "Error during writing header";
    return 0;
  }

  // one block per triangle mesh
  for (CObject3d* object : scene->m_ArrayObject) {
    if (object->GetType() != TYPE_MESH3D) continue;
    const auto* mesh = static_cast<const CMesh3d*>(object);
    WriteVRML(mesh, out, TextureNameOf(scene, mesh));
    if (out.Failed()) break;
  }
  if (!out.Flush(true) || !file.Commit()) {
    error = "Error during writing transform";
    return 0;
  }
  return 1;
}
