#include "io/EpsWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "io/ReplaceFile.h"

namespace {

// The PostScript procedures of the Gouraud triangles. A triangle comes as
// an array of six coordinates [x0 x1 x2 y0 y1 y2] and three colour arrays
// [r g b]; while two corner colours differ by threshold or more in some
// component it is split at its edge midpoints into four triangles whose
// new corners take the mean colours of the edge ends; otherwise it is
// filled with the mean of its three colours.
const char* const kGouraudPrologue[] = {
    "",
    "% Gouraud-shaded triangle - [x0 x1 x2 y0 y1 y2] [r0 g0 b0] [r1 g1 b1] [r2 g2 b2] "
    "gouraudtriangle",
    "/bd { bind def } bind def",
    "/triangle { % [x0 x1 x2 y0 y1 y2] [r g b]",
    "  aload pop setrgbcolor",
    "  aload pop 6 dict begin",
    "  /y2 exch def /y1 exch def /y0 exch def /x2 exch def /x1 exch def /x0 exch def",
    "  newpath x0 y0 moveto x1 y1 lineto x2 y2 lineto closepath fill",
    "  end",
    "} bd",
    "/computediff1 { % [r g b] [r g b] -> true when a component differs by threshold or more",
    "  2 dict begin /b exch def /a exch def",
    "  a 0 get b 0 get sub abs threshold ge",
    "  a 1 get b 1 get sub abs threshold ge or",
    "  a 2 get b 2 get sub abs threshold ge or",
    "  end",
    "} bd",
    "/computediff3 { % c0 c1 c2 -> true when any two of them differ",
    "  3 dict begin /c2 exch def /c1 exch def /c0 exch def",
    "  c0 c1 computediff1 c1 c2 computediff1 or c0 c2 computediff1 or",
    "  end",
    "} bd",
    "/middlecolor { % c0 c1 -> the component-wise mean",
    "  2 dict begin /b exch def /a exch def",
    "  [ a 0 get b 0 get add 2 div a 1 get b 1 get add 2 div a 2 get b 2 get add 2 div ]",
    "  end",
    "} bd",
    "/gouraudtriangle { % [x0 x1 x2 y0 y1 y2] c0 c1 c2",
    "  20 dict begin /c2 exch def /c1 exch def /c0 exch def /p exch def",
    "  c0 c1 c2 computediff3 {",
    "    /x0 p 0 get def /x1 p 1 get def /x2 p 2 get def",
    "    /y0 p 3 get def /y1 p 4 get def /y2 p 5 get def",
    "    /ax x0 x1 add 2 div def /ay y0 y1 add 2 div def",
    "    /bx x1 x2 add 2 div def /by y1 y2 add 2 div def",
    "    /cx x2 x0 add 2 div def /cy y2 y0 add 2 div def",
    "    /ca c0 c1 middlecolor def /cb c1 c2 middlecolor def /cc c2 c0 middlecolor def",
    "    [x0 ax cx y0 ay cy] c0 ca cc gouraudtriangle",
    "    [ax x1 bx ay y1 by] ca c1 cb gouraudtriangle",
    "    [cx bx x2 cy by y2] cc cb c2 gouraudtriangle",
    "    [ax bx cx ay by cy] ca cb cc gouraudtriangle",
    "  } {",
    "    p [ c0 0 get c1 0 get add c2 0 get add 3 div",
    "        c0 1 get c1 1 get add c2 1 get add 3 div",
    "        c0 2 get c1 2 get add c2 2 get add 3 div ] triangle",
    "  } ifelse",
    "  end",
    "} bd",
};

// The format with each "%g" replaced by the next number as printf writes
// it (6 significant digits, through std::to_chars, which gives printf's
// text without its cost) and "%%" by one percent sign.
void Print(std::string& out, const char* format, std::initializer_list<double> numbers) {
  auto number = numbers.begin();
  for (const char* p = format; *p;) {
    const char* percent = std::strchr(p, '%');
    if (!percent) {
      out.append(p);
      return;
    }
    out.append(p, size_t(percent - p));
    if (percent[1] == 'g' && number != numbers.end()) {
      char text[32];
      const std::to_chars_result r =
          std::to_chars(text, text + sizeof(text), *number++, std::chars_format::general, 6);
      out.append(text, size_t(r.ptr - text));
    } else if (percent[1] == '%') {
      out += '%';
    }
    p = percent[1] ? percent + 2 : percent + 1;
  }
}

void AppendColor(std::string& out, const float* c) {
  Print(out, "%g %g %g setrgbcolor\n", {c[0], c[1], c[2]});
}

bool SameColor(const float* a, const float* b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

constexpr double kMostLineStrokes = 2048.0;

// A line whose colour changes along it: n short strokes, each in the
// colour of its middle (n grows with the colour change and the length).
void AppendLine(std::string& out, const float* p1, const float* p2) {
  const float* c1 = p1 + 3;
  const float dc[3] = {p2[3] - c1[0], p2[4] - c1[1], p2[5] - c1[2]};
  int n = 0;
  if (dc[0] != 0.0f || dc[1] != 0.0f || dc[2] != 0.0f) {
    const double dx = double(p2[0]) - p1[0], dy = double(p2[1]) - p1[1];
    const double largest = std::max({std::fabs(dc[0]), std::fabs(dc[1]), std::fabs(dc[2])});
    const double steps = 0.06 * largest * std::sqrt(dx * dx + dy * dy);
    // a count beyond any drawable line (or not a number) is one stroke:
    // window coordinates and clamped colours keep real lines under
    // 0.06 x the diagonal of the largest viewport (about 1,400 strokes),
    // and a damaged buffer must not make one line megabytes long
    n = steps >= 1.0 && steps < kMostLineStrokes ? int(steps) : 1;
  }
  AppendColor(out, c1);
  Print(out, "%g %g moveto\n", {p1[0], p1[1]});
  if (n > 0) {
    const float step[2] = {(p2[0] - p1[0]) / n, (p2[1] - p1[1]) / n};
    const float colorStep[3] = {dc[0] / n, dc[1] / n, dc[2] / n};
    float point[2] = {p1[0] - step[0] / 2, p1[1] - step[1] / 2};
    float color[3] = {c1[0] - colorStep[0] / 2, c1[1] - colorStep[1] / 2, c1[2] - colorStep[2] / 2};
    for (int i = 0; i < n; i++) {
      point[0] += step[0];
      point[1] += step[1];
      Print(out, "%g %g lineto stroke\n", {point[0], point[1]});
      for (int k = 0; k < 3; k++) color[k] += colorStep[k];
      AppendColor(out, color);
      Print(out, "%g %g moveto\n", {point[0], point[1]});
    }
  }
  Print(out, "%g %g lineto stroke\n", {p2[0], p2[1]});
}

void AppendPolygon(std::string& out, const CFeedbackScene& scene, uint32_t first, uint32_t n) {
  // a polygon clipped to nothing has no corner to draw
  if (n == 0) return;
  const float* v0 = scene.Vertex(first);
  bool flat = true;
  for (uint32_t i = 1; i < n && flat; i++) flat = SameColor(scene.Vertex(first + i) + 3, v0 + 3);
  // one colour: a filled path
  if (flat) {
    out += "newpath\n";
    AppendColor(out, v0 + 3);
    Print(out, "%g %g moveto\n", {v0[0], v0[1]});
    for (uint32_t i = 1; i < n; i++) {
      const float* v = scene.Vertex(first + i);
      Print(out, "%g %g lineto\n", {v[0], v[1]});
    }
    out += "closepath fill\n\n";
    return;
  }
  // colours differ: a fan of Gouraud triangles from corner 0
  for (uint32_t i = 1; i + 1 < n; i++) {
    const float* a = scene.Vertex(first + i);
    const float* b = scene.Vertex(first + i + 1);
    Print(out, "[%g %g %g %g %g %g]", {v0[0], a[0], b[0], v0[1], a[1], b[1]});
    Print(out, " [%g %g %g] [%g %g %g] [%g %g %g] gouraudtriangle\n",
          {v0[3], v0[4], v0[5], a[3], a[4], a[5], b[3], b[4], b[5]});
  }
}

} // namespace

std::string EpsWriter::Header() const {
  const float* vp = m_Page.viewport;
  std::string out = "%!PS-Adobe-2.0 EPSF-2.0\n";
  Print(out, "%%%%BoundingBox: %g %g %g %g\n", {vp[0], vp[1], vp[2], vp[3]});
  out += "%%EndComments\n\ngsave\n\n";
  Print(out, "/threshold %g def\n", {0.01});
  Print(out, "\n%% RGB color command - r g b C\n", {});
  out += "/C { setrgbcolor } bind def\n";
  Print(out, "\n%% Flat-shaded triangle - x3 y3 x2 y2 x1 y1 r g b T\n", {});
  out += "/T { C newpath moveto lineto lineto closepath fill } bind def\n";
  for (const char* line : kGouraudPrologue) {
    out += line;
    out += '\n';
  }
  Print(out, "\n%g setlinewidth\n", {0.1});
  AppendColor(out, m_Page.clearColor);
  Print(out, "%g %g %g %g rectfill\n\n", {vp[0], vp[1], vp[2], vp[3]});
  return out;
}

std::string EpsWriter::Trailer() {
  return "grestore\n\nshowpage\n";
}

void EpsWriter::AppendPrimitive(const CFeedbackScene& scene, const CFeedbackPrimitive& primitive,
                                std::string& out) const {
  switch (primitive.kind) {
  case FeedbackKind::Point: {
    const float* v = scene.Vertex(primitive.first);
    AppendColor(out, v + 3);
    Print(out, "%g %g %g 0 360 arc fill\n\n", {v[0], v[1], m_Page.pointSize / 2.0f});
    break;
  }
  case FeedbackKind::Line:
    AppendLine(out, scene.Vertex(primitive.first), scene.Vertex(primitive.first + 1));
    break;
  case FeedbackKind::Polygon:
    AppendPolygon(out, scene, primitive.first, primitive.count);
    break;
  }
}

namespace {

// Calls each(primitive) in the order the file lists them: farthest first
// when sorted, else in buffer order.
template <class Each> void InFileOrder(const CFeedbackScene& scene, bool sorted, Each each) {
  if (sorted) {
    for (uint32_t i : FarthestFirst(scene)) each(scene.primitives[i]);
  } else {
    for (const CFeedbackPrimitive& primitive : scene.primitives) each(primitive);
  }
}

} // namespace

std::string EpsWriter::Text(const CFeedbackScene& scene, bool sorted) const {
  std::string out = Header();
  // a filled triangle takes about 90 bytes
  out.reserve(out.size() + scene.primitives.size() * 96 + 64);
  InFileOrder(scene, sorted,
              [&](const CFeedbackPrimitive& primitive) { AppendPrimitive(scene, primitive, out); });
  out += Trailer();
  return out;
}

int EpsWriter::Write(const std::string& fileName, const CFeedbackScene& scene, std::string& error,
                     bool sorted) const {
  constexpr size_t kBlock = size_t(1) << 20;
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return 0;
  }
  std::string block = Header();
  block.reserve(kBlock + 4096);
  int written = 1;
  InFileOrder(scene, sorted, [&](const CFeedbackPrimitive& primitive) {
    AppendPrimitive(scene, primitive, block);
    if (block.size() < kBlock) return;
    written = written && file.Write(block.data(), block.size());
    block.clear();
  });
  block += Trailer();
  if (!written || !file.Write(block.data(), block.size()) || !file.Commit()) {
    error = "Unable to open file for writing";
    return 0;
  }
  return 1;
}
