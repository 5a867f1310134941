#pragma once
// Controls made with their object name, so tests and commands find them by it.
#include <QPushButton>

namespace common {

QPushButton* namedButton(const char* name, const char* caption, QWidget* parent);

} // namespace common
