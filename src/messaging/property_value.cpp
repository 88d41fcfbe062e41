#include "messaging/property_value.h"

#include "base/failure.h"

namespace orv::messaging {

bool equalsNumber(const PropertyValue& value, double number) {
  switch (value.kind) {
    case PropertyValue::Kind::Empty:
      return number == 0;
    case PropertyValue::Kind::Null:
      return false;
    case PropertyValue::Kind::Number:
      return value.number == number;
    case PropertyValue::Kind::Other:
      break;
  }
  throw Failure(error_number::kTypeMismatch, u"Type mismatch");
}

}  // namespace orv::messaging
