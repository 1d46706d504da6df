#include "controls/GroupBoxXP2.h"
#include "controls/MySpeedButton.h"
#include "controls/MyThemedPanel.h"
#include "controls/ThemeHandles.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Runs the test with the classic style when asked, then gives the
// application its style and empty handles back.
class TStyleScope {
public:
    explicit TStyleScope(bool classic) : m_name(QApplication::style()->name())
    {
        if (classic)
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    }
    ~TStyleScope()
    {
        QApplication::setStyle(QStyleFactory::create(m_name));
        CloseThemeHandles();
    }

private:
    QString m_name;
};

QImage Picture(QWidget& widget)
{
    return widget.grab().toImage();
}

}

TEST(ThemeHandles, ClassicStyleLeavesEverySlotEmpty)
{
    {
        TStyleScope scope(true);
        OpenThemeHandles(nullptr);
        EXPECT_EQ(GetThemeHandle(TThemeType::ttRebar), nullptr);
        TMyThemedPanel panel;
        panel.SetTheme(TThemeType::ttRebar);
        EXPECT_EQ(panel.PaintingTheme(), nullptr);
    }
    TStyleScope scope(false);
    OpenThemeHandles(nullptr);
    ASSERT_NE(GetThemeHandle(TThemeType::ttExplorerBar), nullptr);
    EXPECT_EQ(GetThemeHandle(TThemeType::ttExplorerBar)->Type(), TThemeType::ttExplorerBar);
    CloseThemeHandles();
    EXPECT_EQ(GetThemeHandle(TThemeType::ttExplorerBar), nullptr);
}

TEST(ThemeHandles, ThemedPanelDrawsCaptionOnlyWhereRoomIsLeft)
{
    TStyleScope scope(false);
    OpenThemeHandles(nullptr);
    TMyThemedPanel panel;
    panel.SetTheme(TThemeType::ttRebar);
    panel.SetThemePartID(6);
    panel.resize(160, 24);
    ASSERT_NE(panel.PaintingTheme(), nullptr);
    const QImage background = Picture(panel);

    panel.SetCaption(QStringLiteral("WWWW"));
    EXPECT_NE(Picture(panel), background) << "the caption is drawn";
    EXPECT_EQ(panel.CaptionRect(), QRect(0, 0, 160, 24));

    panel.SetBorderWidth(20); // taller than half the panel: nothing is left
    EXPECT_TRUE(panel.CaptionRect().isEmpty());
    EXPECT_EQ(Picture(panel), background) << "background only";

    // The ttNone theme always paints plainly, with or without handles.
    panel.SetTheme(TThemeType::ttNone);
    EXPECT_EQ(panel.PaintingTheme(), nullptr);
}

TEST(ThemeHandles, SpeedButtonSplitsItsGlyph)
{
    QPixmap glyph(64, 16);
    {
        glyph.fill(Qt::white);
        QPainter painter(&glyph);
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::black};
        for (int i = 0; i < 4; ++i)
            painter.fillRect(i * 16, 0, 16, 16, colours[i]);
    }
    TMySpeedButton button;
    button.SetGlyph(glyph);
    EXPECT_EQ(button.GlyphFor(TMySpeedButton::gsUp).size(), QSize(64, 16)) << "one image at first";
    button.SetNumGlyphs(4);
    const QImage disabled = button.GlyphFor(TMySpeedButton::gsDisabled).toImage();
    EXPECT_EQ(disabled.size(), QSize(16, 16));
    EXPECT_EQ(QColor(disabled.pixel(8, 8)), QColor(Qt::green));
    EXPECT_EQ(QColor(button.GlyphFor(TMySpeedButton::gsDown).toImage().pixel(8, 8)), QColor(Qt::black));

    button.SetNumGlyphs(2);
    EXPECT_EQ(QColor(button.GlyphFor(TMySpeedButton::gsClicked).toImage().pixel(8, 8)), QColor(Qt::red))
        << "states without an image show the up image";
}

TEST(ThemeHandles, GroupBoxKeepsItsContentsBelowTheCaption)
{
    // The frame of a box without caption starts at the top edge, so its
    // contents sit higher than those of a box with one.
    const auto childTop = [](const QString& caption) {
        TGroupBoxXP2 box(caption);
        auto* layout = new QVBoxLayout(&box);
        auto* child = new QLineEdit(&box);
        layout->addWidget(child);
        box.resize(185, 105);
        layout->activate();
        return child->y();
    };
    EXPECT_LT(childTop(QString()), childTop(QStringLiteral("&Options")));
}
