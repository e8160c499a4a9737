// The PostScript writer and the feedback-buffer parser: records written
// byte for byte as worked out by hand, the drawing order, the records it
// skips or refuses, and a file Ghostscript draws.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "io/EpsWriter.h"
#include "io/FeedbackBuffer.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/TestFolder.h"

namespace {

struct FeedbackVertex {
  float x, y, z, r, g, b;
};

// A feedback buffer built by hand, record by record, as GL writes it in
// 3D-with-colour mode (x, y, z, r, g, b, a per vertex).
class FeedbackRecords {
public:
  FeedbackRecords& Point(const FeedbackVertex& v) { return Raw({kFeedbackPoint}).Vertex(v); }
  FeedbackRecords& Line(const FeedbackVertex& a, const FeedbackVertex& b, bool reset = false) {
    return Raw({float(reset ? kFeedbackLineReset : kFeedbackLine)}).Vertex(a).Vertex(b);
  }
  FeedbackRecords& Polygon(std::initializer_list<FeedbackVertex> corners) {
    Raw({kFeedbackPolygon, float(corners.size())});
    for (const FeedbackVertex& v : corners) Vertex(v);
    return *this;
  }
  // records of one vertex the parser skips: bitmap and pixel records
  FeedbackRecords& VertexRecord(int token, const FeedbackVertex& v) {
    return Raw({float(token)}).Vertex(v);
  }
  FeedbackRecords& Raw(std::initializer_list<float> values) {
    m_Floats.insert(m_Floats.end(), values);
    return *this;
  }
  const std::vector<float>& Floats() const { return m_Floats; }
  long Count() const { return long(m_Floats.size()); }

private:
  FeedbackRecords& Vertex(const FeedbackVertex& v) {
    return Raw({v.x, v.y, v.z, v.r, v.g, v.b, 1});
  }
  std::vector<float> m_Floats;
};

CEpsPage Page() {
  CEpsPage page;
  page.viewport[2] = 640.0f;
  page.viewport[3] = 480.0f;
  page.pointSize = 4.0f;
  return page;
}

CFeedbackScene Parse(const FeedbackRecords& records) {
  CFeedbackScene scene;
  std::string error;
  EXPECT_TRUE(ParseFeedback(records.Floats().data(), records.Count(), scene, error)) << error;
  return scene;
}

// The primitives' text alone (the file without header and trailer).
std::string Body(const FeedbackRecords& records, bool sorted = true) {
  EpsWriter writer(Page());
  std::string text = writer.Text(Parse(records), sorted);
  const std::string header = writer.Header();
  EXPECT_EQ(text.compare(0, header.size(), header), 0);
  EXPECT_EQ(text.substr(text.size() - EpsWriter::Trailer().size()), EpsWriter::Trailer());
  return text.substr(header.size(), text.size() - header.size() - EpsWriter::Trailer().size());
}

const FeedbackVertex kRed1{10, 20, 0.5f, 1, 0, 0};
const FeedbackVertex kRed2{30, 20, 0.5f, 1, 0, 0};
const FeedbackVertex kRed3{20, 40, 0.5f, 1, 0, 0};

struct RecordCase {
  const char* name;
  FeedbackRecords records;
  const char* text;
};

TEST(EpsWriter, RecordsAreWrittenAsWorkedOutByHand) {
  const RecordCase cases[] = {
      {"flat triangle", FeedbackRecords().Polygon({kRed1, kRed2, kRed3}),
       "newpath\n1 0 0 setrgbcolor\n10 20 moveto\n30 20 lineto\n20 40 lineto\nclosepath fill\n\n"},
      {"Gouraud triangle",
       FeedbackRecords().Polygon(
           {{10, 20, 0.5f, 1, 0, 0}, {30, 20, 0.5f, 0, 1, 0}, {20, 40, 0.5f, 0, 0, 1}}),
       "[10 30 20 20 20 40] [1 0 0] [0 1 0] [0 0 1] gouraudtriangle\n"},
      {"Gouraud quad as a fan",
       FeedbackRecords().Polygon(
           {{0, 0, 0, 1, 0, 0}, {4, 0, 0, 0, 1, 0}, {4, 4, 0, 0, 0, 1}, {0, 4, 0, 1, 1, 1}}),
       "[0 4 4 0 0 4] [1 0 0] [0 1 0] [0 0 1] gouraudtriangle\n"
       "[0 4 0 0 4 4] [1 0 0] [0 0 1] [1 1 1] gouraudtriangle\n"},
      {"line of one colour",
       FeedbackRecords().Line({0, 0, 0, 0.5f, 0.5f, 0.5f}, {100, 0, 0, 0.5f, 0.5f, 0.5f}),
       "0.5 0.5 0.5 setrgbcolor\n0 0 moveto\n100 0 lineto stroke\n"},
      {"line reset like a line",
       FeedbackRecords().Line({1, 2, 0, 0, 0, 1}, {3, 4, 0, 0, 0, 1}, true),
       "0 0 1 setrgbcolor\n1 2 moveto\n3 4 lineto stroke\n"},
      {"short line of two colours: one step",
       FeedbackRecords().Line({0, 0, 0, 0, 0, 0}, {2, 0, 0, 1, 0, 0}),
       "0 0 0 setrgbcolor\n0 0 moveto\n1 0 lineto stroke\n0.5 0 0 setrgbcolor\n1 0 moveto\n"
       "2 0 lineto stroke\n"},
      {"polygon without corners: nothing", FeedbackRecords().Raw({float(kFeedbackPolygon), 0}), ""},
      {"point", FeedbackRecords().Point({5, 6, 0, 1, 1, 1}),
       "1 1 1 setrgbcolor\n5 6 2 0 360 arc fill\n\n"},
  };
  for (const RecordCase& c : cases) EXPECT_EQ(Body(c.records), c.text) << c.name;
}

TEST(EpsWriter, NumbersAreThoseOfPrintfPercentG) {
  // magnitudes around both ends of the fixed notation, halves, negatives
  std::vector<float> values = {0.0f,      -0.0f,     0.5f,   2.5f, 1e-4f,        9.99999e-5f,
                               123456.5f, 999999.5f, 1e6f,   1e7f, -3.14159265f, 0.000125f,
                               1.0f / 3,  640.0f,    1e-30f, 3e38f};
  uint32_t seed = 12345;
  for (int i = 0; i < 3000; i++) {
    seed = seed * 1103515245u + 12345u;
    const float mantissa = float(seed % 2000001) / 1000.0f - 1000.0f;
    values.push_back(mantissa * std::pow(10.0f, float(int(seed >> 20) % 16 - 8)));
  }
  for (size_t i = 0; i + 2 < values.size(); i += 3) {
    const float* v = &values[i];
    char expected[256];
    std::snprintf(expected, sizeof(expected), "%g %g %g setrgbcolor\n%g %g %g 0 360 arc fill\n\n",
                  v[2], v[2], v[2], v[0], v[1], 2.0);
    ASSERT_EQ(Body(FeedbackRecords().Point({v[0], v[1], 0.5f, v[2], v[2], v[2]})), expected) << i;
  }
}

TEST(EpsWriter, LineOfTwoColoursIsSteppedByColourChangeAndLength) {
  // n = trunc(0.06 * 1 * 100) = 6 strokes and the last one to the end
  const std::string body = Body(FeedbackRecords().Line({0, 0, 0, 0, 0, 0}, {100, 0, 0, 1, 0, 0}));
  EXPECT_EQ(testsupport::Occurrences(body, "lineto stroke\n"), 7u);
  EXPECT_EQ(testsupport::Occurrences(body, "moveto\n"), 7u);
  EXPECT_EQ(body.find("0 0 0 setrgbcolor\n0 0 moveto\n8.33333 0 lineto stroke\n"
                      "0.0833333 0 0 setrgbcolor\n8.33333 0 moveto\n"),
            0u);
  EXPECT_NE(body.find("100 0 lineto stroke\n"), std::string::npos);
  // no drawable line is this long: one stroke, not a million
  const std::string far = Body(FeedbackRecords().Line({0, 0, 0, 0, 0, 0}, {1e7f, 0, 0, 1, 0, 0}));
  EXPECT_EQ(testsupport::Occurrences(far, "lineto stroke\n"), 2u);
}

TEST(EpsWriter, HeaderAndTrailerAreTheFixedTexts) {
  CEpsPage page = Page();
  page.clearColor[0] = 0.25f;
  const std::string header = EpsWriter(page).Header();
  const std::string start = "%!PS-Adobe-2.0 EPSF-2.0\n%%BoundingBox: 0 0 640 480\n"
                            "%%EndComments\n\ngsave\n\n/threshold 0.01 def\n\n"
                            "% RGB color command - r g b C\n/C { setrgbcolor } bind def\n\n"
                            "% Flat-shaded triangle - x3 y3 x2 y2 x1 y1 r g b T\n"
                            "/T { C newpath moveto lineto lineto closepath fill } bind def\n";
  EXPECT_EQ(header.compare(0, start.size(), start), 0) << header;
  for (const char* procedure : {"/bd ", "/triangle ", "/computediff1 ", "/computediff3 ",
                                "/middlecolor ", "/gouraudtriangle "})
    EXPECT_NE(header.find(procedure), std::string::npos) << procedure;
  const std::string end = "\n0.1 setlinewidth\n0.25 0 0 setrgbcolor\n0 0 640 480 rectfill\n\n";
  EXPECT_EQ(header.substr(header.size() - end.size()), end);
  EXPECT_EQ(EpsWriter::Trailer(), "grestore\n\nshowpage\n");
}

TEST(EpsWriter, FarthestPrimitiveIsWrittenFirstAndEqualDepthsKeepTheirOrder) {
  // flat triangles told apart by their red: depth 0.2, 0.8, 0.5, 0.5
  FeedbackRecords records;
  const float depthAndRed[][2] = {{0.2f, 0.1f}, {0.8f, 0.2f}, {0.5f, 0.3f}, {0.5f, 0.4f}};
  for (const auto& d : depthAndRed)
    records.Polygon({{0, 0, d[0], d[1], 0, 0}, {1, 0, d[0], d[1], 0, 0}, {0, 1, d[0], d[1], 0, 0}});
  const std::string sorted = Body(records);
  const size_t far = sorted.find("0.2 0 0"), mid1 = sorted.find("0.3 0 0"),
               mid2 = sorted.find("0.4 0 0"), near = sorted.find("0.1 0 0");
  EXPECT_LT(far, mid1);
  EXPECT_LT(mid1, mid2);
  EXPECT_LT(mid2, near);
  const std::string unsorted = Body(records, false);
  EXPECT_LT(unsorted.find("0.1 0 0"), unsorted.find("0.2 0 0"));
}

TEST(FeedbackBuffer, DepthKeyIsTheMeanWindowDepth) {
  CFeedbackScene scene =
      Parse(FeedbackRecords()
                .Point({0, 0, 0.25f, 0, 0, 0})
                .Line({0, 0, 0.2f, 0, 0, 0}, {0, 0, 0.6f, 0, 0, 0})
                .Polygon({{0, 0, 0.1f, 0, 0, 0}, {0, 0, 0.2f, 0, 0, 0}, {0, 0, 0.9f, 0, 0, 0}}));
  ASSERT_EQ(scene.primitives.size(), 3u);
  EXPECT_FLOAT_EQ(scene.primitives[0].depth, 0.25f);
  EXPECT_FLOAT_EQ(scene.primitives[1].depth, 0.4f);
  EXPECT_FLOAT_EQ(scene.primitives[2].depth, 0.4f);
}

struct ParseCase {
  const char* name;
  FeedbackRecords records;
  long count; // -1: all floats
  bool ok;
  size_t primitives;
};

TEST(FeedbackBuffer, SkipsRecordsWithoutDrawingAndRefusesWhatItCannotRead) {
  const FeedbackVertex v{1, 2, 0.5f, 1, 1, 1};
  const ParseCase cases[] = {
      {"empty", FeedbackRecords(), -1, true, 0},
      {"pass-through, bitmap and pixel records skipped",
       FeedbackRecords()
           .Raw({kFeedbackPassThrough, 7})
           .VertexRecord(kFeedbackBitmap, v)
           .VertexRecord(kFeedbackDrawPixel, v)
           .VertexRecord(kFeedbackCopyPixel, v)
           .Point(v),
       -1, true, 1},
      {"polygon without corners", FeedbackRecords().Raw({float(kFeedbackPolygon), 0}), -1, true, 1},
      {"unknown token", FeedbackRecords().Point(v).Raw({12345}), -1, false, 1},
      {"token that is not a whole number", FeedbackRecords().Raw({1793.5f}), -1, false, 0},
      {"token not a number", FeedbackRecords().Raw({NAN}), -1, false, 0},
      {"point cut short", FeedbackRecords().Point(v), 5, false, 0},
      {"line cut short", FeedbackRecords().Line(v, v), 14, false, 0},
      {"polygon count past the end", FeedbackRecords().Raw({float(kFeedbackPolygon), 3, 0, 0}), -1,
       false, 0},
      {"polygon count negative", FeedbackRecords().Raw({float(kFeedbackPolygon), -1}), -1, false,
       0},
      {"polygon count huge", FeedbackRecords().Raw({float(kFeedbackPolygon), 3e9f}), -1, false, 0},
      {"pass-through cut short", FeedbackRecords().Raw({float(kFeedbackPassThrough)}), -1, false,
       0},
      {"overflow reported by GL", FeedbackRecords().Point(v), -3, false, 0},
  };
  for (const ParseCase& c : cases) {
    CFeedbackScene scene;
    std::string error;
    const long count = c.count < 0 && c.count != -3 ? c.records.Count() : c.count;
    EXPECT_EQ(ParseFeedback(c.records.Floats().data(), count, scene, error), c.ok) << c.name;
    EXPECT_EQ(scene.primitives.size(), c.primitives) << c.name;
    EXPECT_EQ(error.empty(), c.ok) << c.name << ": " << error;
  }
}

TEST(EpsWriter, GhostscriptDrawsGouraudAndFlatTrianglesInTheirColours) {
  if (!testsupport::HasGhostscript()) GTEST_SKIP() << "Ghostscript missing";
  const std::filesystem::path dir = testsupport::FreshTestFolder("orvex_eps_");
  const std::string eps = (dir / "scene.eps").string(), png = (dir / "scene.png").string();
  CEpsPage page;
  page.viewport[2] = 200.0f;
  page.viewport[3] = 100.0f;
  // a Gouraud triangle on the left, a flat green one on the right
  FeedbackRecords records;
  records.Polygon({{10, 10, 0.5f, 1, 0, 0}, {90, 10, 0.5f, 0, 1, 0}, {50, 90, 0.5f, 0, 0, 1}});
  records.Polygon({{110, 10, 0.5f, 0, 1, 0}, {190, 10, 0.5f, 0, 1, 0}, {150, 90, 0.5f, 0, 1, 0}});
  std::string error;
  ASSERT_TRUE(EpsWriter(page).Write(eps, Parse(records), error)) << error;
  CRgbImage image;
  ASSERT_TRUE(testsupport::DrawEps(eps, png, image, error)) << error;
  ASSERT_EQ(image.m_Width, 200);
  ASSERT_EQ(image.m_Height, 100);
  // rows are top-down, PostScript y goes up
  auto at = [&image](int x, int y) { return image.Pixel(x, image.m_Height - 1 - y); };
  const unsigned char* nearRed = at(16, 12);
  EXPECT_GT(nearRed[0], 180);
  EXPECT_LT(nearRed[2], 60);
  const unsigned char* nearBlue = at(50, 84);
  EXPECT_GT(nearBlue[2], 180);
  const unsigned char* middle = at(50, 37);
  for (int k = 0; k < 3; k++) EXPECT_NEAR(middle[k], 85, 45) << k;
  const unsigned char* flat = at(150, 40);
  EXPECT_EQ(flat[0], 0);
  EXPECT_EQ(flat[1], 255);
  EXPECT_EQ(at(2, 2)[0], 0); // background
}

TEST(EpsWriter, FileWrittenInBlocksEqualsTheTextAndAFailedWriteKeepsTheOldFile) {
  const std::filesystem::path dir = testsupport::FreshTestFolder("orvex_eps_blocks_");
  const std::string eps = (dir / "many.eps").string();
  CEpsPage page;
  // enough Gouraud triangles for several blocks of the file
  FeedbackRecords records;
  for (int i = 0; i < 30000; i++) {
    const float x = float(i % 200), y = float(i / 200), z = float(i % 7) / 7.0f;
    records.Polygon({{x, y, z, 1, 0, 0}, {x + 1, y, z, 0, 1, 0}, {x, y + 1, z, 0, 0, 1}});
  }
  const CFeedbackScene scene = Parse(records);
  std::string error;
  ASSERT_TRUE(EpsWriter(page).Write(eps, scene, error)) << error;
  const std::string text = EpsWriter(page).Text(scene);
  ASSERT_GT(text.size(), size_t(1) << 20);
  EXPECT_EQ(batchprocess::ReadFile(eps), text);
  // a folder in the file's place: the write fails, nothing else changes
  EXPECT_FALSE(EpsWriter(page).Write(dir.string(), scene, error));
  EXPECT_EQ(error, "Unable to open file for writing");
  EXPECT_EQ(batchprocess::ReadFile(eps), text);
}

} // namespace
