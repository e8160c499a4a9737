// The camera seen from the mesh and the silhouette marks on a sphere.

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "geometry/Mesh3d.h"
#include "processing/Silhouette.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;

namespace {

void Rotate(double& a, double& b, double degrees) {
  double t = degrees * M_PI / 180.0, c = std::cos(t), s = std::sin(t);
  double a2 = a * c - b * s, b2 = a * s + b * c;
  a = a2;
  b = b2;
}

// The view's model transform applied to p: scale, rotate Z, Y, X, translate.
CVector3d ToEye(CVector3d p, const std::array<float, 3>& r, const std::array<float, 3>& t,
                const std::array<float, 3>& s) {
  p.x *= s[0];
  p.y *= s[1];
  p.z *= s[2];
  Rotate(p.x, p.y, r[2]);
  Rotate(p.z, p.x, r[1]);
  Rotate(p.y, p.z, r[0]);
  return CVector3d(p.x + t[0], p.y + t[1], p.z + t[2]);
}

} // namespace

TEST(CameraPosition, MapsTheEyeBackThroughTheModelTransform) {
  struct Row {
    std::array<float, 3> rotation, translation, scale;
  };
  const Row rows[] = {
      {{0, 0, 0}, {0, 0, -5}, {1, 1, 1}},
      {{30, 0, 0}, {0, 0, -5}, {1, 1, 1}},
      {{0, 90, 0}, {1, 2, -5}, {1, 1, 1}},
      {{8.33f, 19.0f, 0}, {-7.82f, -8.62f, -29.5f}, {0.78f, 1.0f, 0.52f}},
      {{-40, 75, 120}, {0.5f, -0.25f, -3}, {2, 2, 2}},
  };
  for (const Row& row : rows) {
    CVector3d camera = CameraPosition(row.rotation, row.translation, row.scale);
    CVector3d eye = ToEye(camera, row.rotation, row.translation, row.scale);
    EXPECT_NEAR(eye.Length(), 0.0, 1e-5) << row.rotation[0] << " " << row.rotation[1];
  }
  CVector3d straight = CameraPosition({0, 0, 0}, {0, 0, -5}, {1, 1, 1});
  EXPECT_DOUBLE_EQ(straight.z, 5.0);
}

TEST(FlagSilhouette, MarksTheFacesAroundTheSilhouetteOfASphere) {
  // seen from (0, 0, 5), the unit sphere's silhouette is the circle z = 1/5
  MeshPtr sphere(testmeshes::MakeIcoSphere(3));
  const CVector3d camera(0.0, 0.0, 5.0);
  const double edge = sphere->MeanEdgeLength();
  sphere->SetFlagOnFaces(0);
  EXPECT_GT(FlagSilhouette(sphere.get(), camera), 0);
  int flagged = 0;
  for (int i = 0; i < sphere->NbFace(); i++) {
    const CFace3d* f = sphere->GetFace(i);
    double nearest = 1e9;
    for (int k = 0; k < 3; k++) nearest = std::min(nearest, std::fabs(f->v(k)->z - 0.2));
    if (f->m_Flag == 1) {
      flagged++;
      EXPECT_LT(nearest, 2.5 * edge) << "face " << i;
    } else {
      EXPECT_EQ(f->m_Flag, 0);
    }
    // a face on the circle is flagged
    if (std::fabs(f->Center().z - 0.2) < 0.3 * edge) {
      EXPECT_EQ(f->m_Flag, 1) << "face " << i;
    }
  }
  EXPECT_LT(flagged, sphere->NbFace() / 4);

  // front faces: the cap above the circle
  sphere->SetFlagOnFaces(0);
  FlagFrontFaces(sphere.get(), camera, 2);
  for (int i = 0; i < sphere->NbFace(); i++) {
    const CFace3d* f = sphere->GetFace(i);
    double z = f->Center().z;
    if (z > 0.2 + edge) {
      EXPECT_EQ(f->m_Flag, 2) << "face " << i;
    }
    if (z < 0.2 - edge) {
      EXPECT_EQ(f->m_Flag, 0) << "face " << i;
    }
  }
}
