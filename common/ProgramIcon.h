#pragma once
// Gives every window of a program the program's icon (title bar, task bar)
// and ties its windows to its desktop entry. The icons come from the
// program's own Qt resource, ":/icons/<program>-<size>.png".
#include <QString>

namespace common {

void setProgramIcon(const QString& program);

} // namespace common
