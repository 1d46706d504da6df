#pragma once

#include <QProxyStyle>

// The application's style, but asking item views to open an item on a single
// click, as a desktop set to open files with one click does (KDE Plasma's
// default).
class TSingleClickStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override
    {
        if (hint == QStyle::SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
