// Stored descriptions: the readable text (JSON) that gives a class's published values, its
// owned components and the binding of its events; docs/stored-descriptions.md describes it.
#pragma once

#include <string>
#include <string_view>

#include "classes/component.h"
#include "rtl/exceptions.h"

namespace tvx {

// A description that cannot be applied: malformed text, an unknown class, property,
// component or handler, or a value of the wrong type. The message says what and where.
class EDescriptionError : public EComponentError {
 public:
  using EComponentError::EComponentError;
  const char* ClassName() const noexcept override { return "EDescriptionError"; }
};

// Applies the descriptions of instance's classes, from the first class below ancestor down to
// instance's own class, each found under its class name, in one loading pass: the instance and
// the components the descriptions create are in the loading state until all are applied and
// the references between them are resolved; then each gets Loaded(). Returns false (and changes
// nothing) when none of those classes has a description; raises EDescriptionError when one
// cannot be applied.
bool InitInheritedComponent(TComponent* instance, const TClassInfo& ancestor);

// The published values of root and of the components it owns, as a description text in the
// format the reader takes: every property of each class with its value as its getter gives it
// (unbound events and empty references as null), each owned component among the children of
// the component it is placed in (its parent component, else root).
std::string DescribeComponent(const TComponent& root);

// Applies one description text to root, whose class it must name, in a loading pass of its own.
// Raises EDescriptionError when it cannot be applied (root may then be partly filled in).
void ApplyDescription(TComponent* root, std::string_view text);

}  // namespace tvx
