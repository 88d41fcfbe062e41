#pragma once
// A field's value as the session's tests see it, and the comparison they make ("value = 1",
// "value = True"), with the rules of an automation Variant.
namespace orv::messaging {

struct PropertyValue {
  enum class Kind { Empty, Null, Number, Other };
  Kind kind = Kind::Empty;
  double number = 0;  // Number: integers, reals, and Booleans (True is -1)

  static PropertyValue ofNumber(double value) { return {Kind::Number, value}; }
};

inline constexpr double kTrue = -1;

// Empty counts as 0 and Null never equals; text, objects and arrays cannot be compared with a number
// (Failure 13, "Type mismatch").
bool equalsNumber(const PropertyValue& value, double number);

}  // namespace orv::messaging
