#include "app/CommandParams.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/TextNormalize.h"

namespace orvex {

static std::string FormatReal(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%g", value);
  return buffer;
}

ParamField IntegerParam(std::string label, int defaultValue, double min, double max) {
  ParamField param;
  param.label = std::move(label);
  param.type = ParamType::Integer;
  param.defaultValue = std::to_string(defaultValue);
  param.min = min;
  param.max = max;
  return param;
}

ParamField RealParam(std::string label, double defaultValue, double min, double max) {
  ParamField param;
  param.label = std::move(label);
  param.type = ParamType::Real;
  param.defaultValue = FormatReal(defaultValue);
  param.min = min;
  param.max = max;
  return param;
}

ParamField CheckParam(std::string label, bool defaultValue) {
  ParamField param;
  param.label = std::move(label);
  param.type = ParamType::Check;
  param.defaultValue = defaultValue ? "on" : "off";
  return param;
}

ParamField CommandLineParam(std::string label, std::string defaultValue) {
  ParamField param = TextParam(std::move(label), std::move(defaultValue));
  param.commandLineOnly = true;
  return param;
}

bool NamesAFile(const ParamField& param) {
  std::string label = param.label;
  for (char& c : label) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return param.type == ParamType::Text && label.find("file") != std::string::npos;
}

ParamField TextParam(std::string label, std::string defaultValue) {
  ParamField param;
  param.label = std::move(label);
  param.type = ParamType::Text;
  param.defaultValue = std::move(defaultValue);
  return param;
}

ParamField ChoiceParam(std::string label, std::vector<std::string> choices, int defaultIndex) {
  ParamField param;
  param.label = std::move(label);
  param.type = ParamType::Choice;
  param.choices = std::move(choices);
  if (defaultIndex >= 0 && defaultIndex < static_cast<int>(param.choices.size()))
    param.defaultValue = param.choices[defaultIndex];
  return param;
}

ParamField ShownParam(std::string label, int defaultValue) {
  ParamField param = IntegerParam(std::move(label), defaultValue);
  param.readOnly = true;
  return param;
}

ParamField ShownCheckParam(std::string label, bool value) {
  ParamField param = CheckParam(std::move(label), value);
  param.readOnly = true;
  return param;
}

ParamField RequiredIntegerParam(std::string label, int shownValue, double min, double max) {
  ParamField param = IntegerParam(std::move(label), shownValue, min, max);
  param.entryRequired = true;
  return param;
}

// number parsing --------------------------------------------------------------

static bool ParseReal(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

static bool ParseInteger(const std::string& text, long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && end && *end == '\0' && value >= -2147483647L && value <= 2147483647L;
}

static bool ParseCheck(const std::string& text, bool& value) {
  std::string key = LabelKey(text);
  if (key == "on" || key == "1" || key == "yes" || key == "true" || key == "checked") {
    value = true;
    return true;
  }
  if (key == "off" || key == "0" || key == "no" || key == "false" || key == "unchecked") {
    value = false;
    return true;
  }
  return false;
}

static bool InRange(const ParamField& param, double value, std::string& error) {
  if (!param.HasRange() || (value >= param.min && value <= param.max)) return true;
  error = "\"" + param.label + "\" must lie in " + FormatReal(param.min) + " ... " +
          FormatReal(param.max);
  return false;
}

bool ValidateParam(const ParamField& param, const std::string& value, std::string& out,
                   std::string& error) {
  switch (param.type) {
  case ParamType::Integer: {
    long number = 0;
    if (!ParseInteger(value, number)) {
      error = "\"" + param.label + "\" needs an integer, not \"" + value + "\"";
      return false;
    }
    if (!InRange(param, static_cast<double>(number), error)) return false;
    out = std::to_string(number);
    return true;
  }
  case ParamType::Real: {
    double number = 0.0;
    if (!ParseReal(value, number)) {
      error = "\"" + param.label + "\" needs a number, not \"" + value + "\"";
      return false;
    }
    if (!InRange(param, number, error)) return false;
    out = value;
    return true;
  }
  case ParamType::Check: {
    bool checked = false;
    if (!ParseCheck(value, checked)) {
      error = "\"" + param.label + "\" is a check box: use on or off, not \"" + value + "\"";
      return false;
    }
    out = checked ? "on" : "off";
    return true;
  }
  case ParamType::Choice:
    for (const std::string& choice : param.choices)
      if (LabelKey(choice) == LabelKey(value)) {
        out = choice;
        return true;
      }
    error = "\"" + value + "\" is not a choice of \"" + param.label + "\"";
    return false;
  case ParamType::Text:
    out = value;
    return true;
  }
  return false;
}

// ParamValues -----------------------------------------------------------------

ParamValues::ParamValues(const std::vector<ParamField>& fields) : m_Fields(fields) {
  for (const ParamField& param : fields) m_Values.push_back(param.defaultValue);
}

int ParamValues::IndexOf(const std::string& label) const {
  std::string key = LabelKey(label);
  for (size_t i = 0; i < m_Fields.size(); i++)
    if (LabelKey(m_Fields[i].label) == key) return static_cast<int>(i);
  return -1;
}

bool ParamValues::Set(const std::string& label, const std::string& value, std::string& error) {
  int i = IndexOf(label);
  if (i < 0) {
    error = "no field \"" + label + "\" in this dialog";
    return false;
  }
  if (m_Fields[i].readOnly) {
    error = "\"" + m_Fields[i].label + "\" is shown only and cannot be set";
    return false;
  }
  std::string normalised;
  if (!ValidateParam(m_Fields[i], value, normalised, error)) return false;
  m_Values[i] = normalised;
  return true;
}

void ParamValues::SetDefault(const std::string& label, const std::string& value) {
  int i = IndexOf(label);
  if (i < 0) return;
  m_Fields[i].defaultValue = value;
  m_Values[i] = value;
}

bool ParamValues::Validate(std::string& error) const {
  for (size_t i = 0; i < m_Fields.size(); i++) {
    if (m_Fields[i].readOnly) continue;
    std::string normalised;
    if (!ValidateParam(m_Fields[i], m_Values[i], normalised, error)) return false;
  }
  return true;
}

size_t ParamValues::Field(const std::string& label, ParamType type) const {
  int i = IndexOf(label);
  if (i < 0) throw CFieldError("no dialog field \"" + label + "\"");
  if (m_Fields[i].type != type)
    throw CFieldError("dialog field \"" + label + "\" read as another kind");
  return static_cast<size_t>(i);
}

std::string ParamValues::Text(const std::string& label) const {
  int i = IndexOf(label);
  if (i < 0) throw CFieldError("no dialog field \"" + label + "\"");
  return m_Values[i];
}

int ParamValues::Integer(const std::string& label) const {
  long value = 0;
  return ParseInteger(m_Values[Field(label, ParamType::Integer)], value) ? static_cast<int>(value)
                                                                         : 0;
}

double ParamValues::Real(const std::string& label) const {
  double value = 0.0;
  return ParseReal(m_Values[Field(label, ParamType::Real)], value) ? value : 0.0;
}

bool ParamValues::Check(const std::string& label) const {
  bool value = false;
  return ParseCheck(m_Values[Field(label, ParamType::Check)], value) && value;
}

int ParamValues::Choice(const std::string& label) const {
  size_t i = Field(label, ParamType::Choice);
  for (size_t c = 0; c < m_Fields[i].choices.size(); c++)
    if (m_Fields[i].choices[c] == m_Values[i]) return static_cast<int>(c);
  return 0;
}

const char* ParamTypeName(ParamType type) {
  switch (type) {
  case ParamType::Integer:
    return "integer";
  case ParamType::Real:
    return "real";
  case ParamType::Check:
    return "check";
  case ParamType::Text:
    return "text";
  case ParamType::Choice:
    return "choice";
  }
  return "";
}

} // namespace orvex
