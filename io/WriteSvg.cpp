#include "io/WriteSvg.h"

#include <cmath>
#include <cstdio>

#include "io/ReplaceFile.h"

namespace {

// A coordinate to 1/100 without trailing zeros ("12", "12.5", "-0.25");
// a value that is not finite, or beyond any picture, becomes 0.
void AppendNumber(std::string& out, double value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e12) value = 0.0;
  long long hundredths = std::llround(value * 100.0);
  if (hundredths < 0) {
    out += '-';
    hundredths = -hundredths;
  }
  out += std::to_string(hundredths / 100);
  const int fraction = int(hundredths % 100);
  if (fraction == 0) return;
  out += '.';
  out += char('0' + fraction / 10);
  if (fraction % 10) out += char('0' + fraction % 10);
}

void AppendColor(std::string& out, const CColor& color) {
  static const char kHex[] = "0123456789abcdef";
  out += '#';
  for (unsigned char c : {color.r, color.g, color.b}) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
}

void AppendPoint(std::string& out, const CVectorPoint& p) {
  AppendNumber(out, p.x);
  out += ',';
  AppendNumber(out, p.y);
}

} // namespace

std::string SvgText(const CVectorPicture& picture) {
  const std::string w = std::to_string(picture.Width()), h = std::to_string(picture.Height());
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                    w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  out.reserve(out.size() + picture.Primitives().size() * 110);
  if (picture.HasBackground()) {
    out += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"";
    AppendColor(out, picture.Background());
    out += "\"/>\n";
  }
  // lines take their colour as stroke; polygons a fill and maybe an outline
  out += "<g stroke-width=\"1\" stroke-linejoin=\"round\">\n";
  for (const CVectorPicture::Primitive& p : picture.Primitives()) {
    const CVectorPoint* points = picture.Points(p);
    if (p.kind == CVectorPicture::Kind::Line) {
      out += "<line x1=\"";
      AppendNumber(out, points[0].x);
      out += "\" y1=\"";
      AppendNumber(out, points[0].y);
      out += "\" x2=\"";
      AppendNumber(out, points[1].x);
      out += "\" y2=\"";
      AppendNumber(out, points[1].y);
      out += "\" stroke=\"";
      AppendColor(out, p.fill);
      out += "\"/>\n";
      continue;
    }
    out += "<polygon points=\"";
    for (uint32_t i = 0; i < p.count; i++) {
      if (i) out += ' ';
      AppendPoint(out, points[i]);
    }
    out += "\" fill=\"";
    AppendColor(out, p.fill);
    if (p.outlined) {
      out += "\" stroke=\"";
      AppendColor(out, p.outline);
    }
    out += "\"/>\n";
  }
  out += "</g>\n</svg>\n";
  return out;
}

int WriteSvg(const std::string& fileName, const CVectorPicture& picture, std::string& error) {
  const std::string text = SvgText(picture);
  CReplaceFile file;
  if (!file.Open(fileName) || !file.Write(text.data(), text.size()) || !file.Commit()) {
    error = "Unable to create MetaFile";
    return 0;
  }
  return 1;
}
