#include "NamedControls.h"

namespace common {

QPushButton* namedButton(const char* name, const char* caption, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace common
