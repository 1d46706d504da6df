#include "controls/GroupBoxXP2.h"

namespace {
constexpr int InitialWidth = 185;
constexpr int InitialHeight = 105;
}

TGroupBoxXP2::TGroupBoxXP2(QWidget* parent) : TGroupBoxXP2(QString(), parent) {}

TGroupBoxXP2::TGroupBoxXP2(const QString& caption, QWidget* parent) : QGroupBox(caption, parent)
{
    resize(InitialWidth, InitialHeight);
}

QSize TGroupBoxXP2::sizeHint() const
{
    // Inside a layout the contents decide; alone the box keeps its first size.
    return layout() ? QGroupBox::sizeHint() : QSize(InitialWidth, InitialHeight);
}
