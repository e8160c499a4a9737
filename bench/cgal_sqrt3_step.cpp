// Reference time for bench_sqrt3: one sqrt(3) step of the same torus with
// CGAL's surface mesh, read from the .off file bench_sqrt3 writes. Built
// only when CGAL is found; the workbench never depends on it.
//
//   build/bench/bench_sqrt3 --benchmark_filter=BytesPerFace
//   build/bench/cgal_sqrt3_step [/tmp/orvex_sqrt3_torus.off]

#include <CGAL/Simple_cartesian.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/boost/graph/IO/OFF.h>
#include <CGAL/subdivision_method_3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

using Kernel = CGAL::Simple_cartesian<double>;
using Mesh = CGAL::Surface_mesh<Kernel::Point_3>;

int main(int argc, char** argv) {
  const char* dir = std::getenv("TMPDIR");
  std::string path =
      argc > 1 ? argv[1] : std::string(dir ? dir : "/tmp") + "/orvex_sqrt3_torus.off";
  Mesh source;
  if (!CGAL::IO::read_OFF(path, source)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  // the best of three steps, each on a fresh copy; processor time and
  // wall time (each run is printed too: the first one takes fresh memory)
  double bestCpu = 1e300, bestWall = 1e300;
  size_t faces = 0;
  for (int run = 0; run < 3; run++) {
    Mesh mesh = source;
    std::clock_t c0 = std::clock();
    auto w0 = std::chrono::steady_clock::now();
    CGAL::Subdivision_method_3::Sqrt3_subdivision(mesh, CGAL::parameters::number_of_iterations(1));
    double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    std::printf("run %d: %.3f s processor, %.3f s wall\n", run + 1, cpu, wall);
    bestCpu = std::min(bestCpu, cpu);
    bestWall = std::min(bestWall, wall);
    faces = mesh.number_of_faces();
  }
  std::printf("CGAL sqrt3 step: %zu -> %zu faces, %.3f s processor, %.3f s wall\n",
              static_cast<size_t>(source.number_of_faces()), faces, bestCpu, bestWall);
  return 0;
}
