#include "io/WriteStl.h"

#include <cmath>
#include <string>

#include "geometry/Mesh3d.h"
#include "io/MeshFileOutput.h"

// Binary files must not start with "solid", the mark of ascii ones.
static const char kHeaderText[] = "binary STL produced by 3d Orvexbox";
static const size_t kHeaderSize = 80;

// Unit normal of the triangle, counterclockwise; zero when degenerate.
static void UnitNormal(const CFace3d& f, float n[3]) {
  const CVertex3d* a = f.v(0);
  const CVertex3d* b = f.v(1);
  const CVertex3d* c = f.v(2);
  const double u[3] = {b->x - a->x, b->y - a->y, b->z - a->z};
  const double v[3] = {c->x - a->x, c->y - a->y, c->z - a->z};
  const double x = u[1] * v[2] - u[2] * v[1], y = u[2] * v[0] - u[0] * v[2],
               z = u[0] * v[1] - u[1] * v[0];
  const double length = std::sqrt(x * x + y * y + z * z);
  const double s = length > 0.0 ? 1.0 / length : 0.0;
  n[0] = float(x * s);
  n[1] = float(y * s);
  n[2] = float(z * s);
}

static bool WriteStlBody(const CMesh3d& mesh, CReplaceFile& file) {
  CBinaryOutput out(file);
  std::string header(kHeaderText);
  header.resize(kHeaderSize, ' ');
  out.Text(header).U32LE(static_cast<uint32_t>(mesh.NbFace()));
  for (const CFace3d* f : mesh.m_ArrayFace) {
    float n[3];
    UnitNormal(*f, n);
    out.F32LE(n[0]).F32LE(n[1]).F32LE(n[2]);
    for (int k = 0; k < 3; k++) {
      const CVertex3d* v = f->v(k);
      out.F32LE(float(v->x)).F32LE(float(v->y)).F32LE(float(v->z));
    }
    out.U16LE(0).Flush();
  }
  return out.Flush(true);
}

int WriteStl(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  return WriteFirstMesh(scene, fileName, WriteStlBody, error);
}
