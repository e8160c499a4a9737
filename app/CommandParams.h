#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace orvex {

// Kind of a dialog field. A front end builds the matching control: an
// integer or real edit, a check box, a text edit or a drop-down list.
enum class ParamType { Integer, Real, Check, Text, Choice };

// "integer", "real", "check", "text" or "choice", as listings show a type.
const char* ParamTypeName(ParamType type);

// One field of a command's dialog: its label as the dialog shows it, its
// kind, its default (as text: "1", "0.5", "on"/"off", a choice or a text)
// and, for numbers, its inclusive range (min > max means unbounded).
struct ParamField {
  std::string label;
  ParamType type = ParamType::Integer;
  std::string defaultValue;
  double min = 1.0;
  double max = 0.0;
  std::vector<std::string> choices; // for Choice
  bool readOnly = false;            // shown only (e.g. the current vertex count)
  // The default lies outside the range on purpose: the user must enter a
  // value before the command runs.
  bool entryRequired = false;
  // Given only on the batch command line (--set): a window program's
  // dialog leaves it out and asks in its own way (a file dialog).
  bool commandLineOnly = false;

  bool HasRange() const { return min <= max; }
};

ParamField IntegerParam(std::string label, int defaultValue, double min = 1.0, double max = 0.0);
ParamField RealParam(std::string label, double defaultValue, double min = 1.0, double max = 0.0);
ParamField CheckParam(std::string label, bool defaultValue);
ParamField TextParam(std::string label, std::string defaultValue);
ParamField ChoiceParam(std::string label, std::vector<std::string> choices, int defaultIndex = 0);
ParamField ShownParam(std::string label, int defaultValue);
// A check box the dialog shows but does not offer: `--set` refuses it.
ParamField ShownCheckParam(std::string label, bool value);
// The largest count a dialog's integer field takes.
constexpr double kParamNoLimit = 2147483647.0;
// A text field only the batch command line gives (commandLineOnly).
ParamField CommandLineParam(std::string label, std::string defaultValue);
// An integer field shown with a value outside [min, max] that the user must
// replace before the command runs.
ParamField RequiredIntegerParam(std::string label, int shownValue, double min, double max);

// True for a text field that names a file ("File name (...)" and the
// like): the batch runner reads a relative value given for it from the
// folder the program was started in.
bool NamesAFile(const ParamField& param);

// Thrown when a handler reads a field its dialog does not have, or reads it
// as another kind: a fault of the handler, never of the user's input.
class CFieldError : public std::logic_error {
public:
  using std::logic_error::logic_error;
};

// The values of one run of a dialog, in the order of its fields, stored as
// text and read back typed. Set validates against the field's kind and
// range; the getters assume a validated value and throw CFieldError for a
// label the dialog does not have or a field of another kind.
class ParamValues {
public:
  ParamValues() = default;
  explicit ParamValues(const std::vector<ParamField>& fields);

  const std::vector<ParamField>& Fields() const { return m_Fields; }
  // Index of the field with this label, compared without ampersands,
  // spaces at both ends and a trailing ':'; -1 when absent.
  int IndexOf(const std::string& label) const;
  bool Has(const std::string& label) const { return IndexOf(label) >= 0; }

  // Sets a field from text; false with error set when the label is unknown
  // or the value does not fit the field.
  bool Set(const std::string& label, const std::string& value, std::string& error);
  // Replaces a default (used for defaults that depend on the document).
  void SetDefault(const std::string& label, const std::string& value);

  // Checks every value the user can change against its field (a field
  // whose entry is required still holding its shown value fails here).
  bool Validate(std::string& error) const;

  std::string Text(const std::string& label) const;
  int Integer(const std::string& label) const;
  double Real(const std::string& label) const;
  bool Check(const std::string& label) const;
  // Index of the selected choice (0 when unknown).
  int Choice(const std::string& label) const;

private:
  // Index of the field, which must exist and be of the given kind.
  size_t Field(const std::string& label, ParamType type) const;

  std::vector<ParamField> m_Fields;
  std::vector<std::string> m_Values;
};

// Validates value against param; returns the normalised text in out.
bool ValidateParam(const ParamField& param, const std::string& value, std::string& out,
                   std::string& error);

} // namespace orvex
