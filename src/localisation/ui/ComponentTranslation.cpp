#include "localisation/ui/ComponentTranslation.h"

#include "controls/Accelerators.h"
#include "localisation/MultiLanguage.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBox>
#include <QToolButton>
#include <QWizardPage>

#include <functional>

namespace {

const char* const TranslatedProperty = "quillonTranslated";

using TGetter = std::function<QString()>;
using TSetter = std::function<void(const QString&)>;

// Passes one text through the language object; writes it back only when it
// was a key.
bool Translate(const TGetter& get, const TSetter& set)
{
    QString text = get();
    if (!LangStrings.TranslateText(text))
        return false;
    set(text);
    return true;
}

void TranslateHints(QWidget* widget)
{
    Translate([widget] { return widget->toolTip(); }, [widget](const QString& t) { widget->setToolTip(PlainToolTip(t)); });
    Translate([widget] { return widget->statusTip(); }, [widget](const QString& t) { widget->setStatusTip(t); });
}

void TranslateAction(QAction* action)
{
    // Without a tool tip of its own an action shows its text as tool tip;
    // that one follows the text and is not translated again.
    const QString tipBefore = action->toolTip();
    Translate([action] { return action->text(); }, [action](const QString& t) { action->setText(t); });
    if (action->toolTip() == tipBefore)
        Translate([action] { return action->toolTip(); },
                  [action](const QString& t) { action->setToolTip(PlainToolTip(t)); });
    Translate([action] { return action->statusTip(); }, [action](const QString& t) { action->setStatusTip(t); });
}

void TranslateFileDialog(QFileDialog* dialog)
{
    Translate([dialog] { return dialog->nameFilters().join(QStringLiteral(";;")); },
              [dialog](const QString& t) { dialog->setNameFilter(t); });
}

void TranslateTabs(QTabWidget* tabs)
{
    for (int i = 0; i < tabs->count(); ++i) {
        Translate([tabs, i] { return tabs->tabText(i); }, [tabs, i](const QString& t) { tabs->setTabText(i, t); });
        Translate([tabs, i] { return tabs->tabToolTip(i); },
                  [tabs, i](const QString& t) { tabs->setTabToolTip(i, PlainToolTip(t)); });
    }
}

// The items of a list the program fills; an editable box's typed text is the
// user's and stays.
void TranslateComboItems(QComboBox* box)
{
    for (int i = 0; i < box->count(); ++i)
        Translate([box, i] { return box->itemText(i); }, [box, i](const QString& t) { box->setItemText(i, t); });
}

void TranslateToolBox(QToolBox* box)
{
    for (int i = 0; i < box->count(); ++i) {
        Translate([box, i] { return box->itemText(i); }, [box, i](const QString& t) { box->setItemText(i, t); });
        Translate([box, i] { return box->itemToolTip(i); },
                  [box, i](const QString& t) { box->setItemToolTip(i, PlainToolTip(t)); });
    }
}

// The widget's own text: its caption, title or content.
void TranslateWidgetText(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (Translate([label] { return label->text(); }, [label](const QString& t) { label->setText(t); }))
            label->setTextFormat(Qt::PlainText);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        Translate([button] { return button->text(); }, [button](const QString& t) { button->setText(t); });
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        Translate([group] { return group->title(); }, [group](const QString& t) { group->setTitle(t); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        Translate([edit] { return edit->text(); }, [edit](const QString& t) { edit->setText(t); });
        Translate([edit] { return edit->placeholderText(); }, [edit](const QString& t) { edit->setPlaceholderText(t); });
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        Translate([memo] { return memo->toPlainText(); }, [memo](const QString& t) { memo->setPlainText(t); });
    } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
        Translate([menu] { return menu->title(); }, [menu](const QString& t) { menu->setTitle(t); });
        menu->menuAction()->setProperty(TranslatedProperty, true); // carries the title just translated
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        TranslateTabs(tabs);
    } else if (auto* box = qobject_cast<QToolBox*>(widget)) {
        TranslateToolBox(box);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        TranslateComboItems(combo);
    } else if (auto* page = qobject_cast<QWizardPage*>(widget)) {
        Translate([page] { return page->title(); }, [page](const QString& t) { page->setTitle(t); });
        Translate([page] { return page->subTitle(); }, [page](const QString& t) { page->setSubTitle(t); });
    } else if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
        TranslateFileDialog(dialog);
    } else if (widget->metaObject()->indexOfProperty("Caption") >= 0) {
        // The program's own panels carry their text as "Caption".
        Translate([widget] { return widget->property("Caption").toString(); },
                  [widget](const QString& t) { widget->setProperty("Caption", t); });
    }
}

void TranslateWidget(QWidget* widget)
{
    // A button that shows an action takes its texts from the action.
    if (auto* toolButton = qobject_cast<QToolButton*>(widget); toolButton && toolButton->defaultAction())
        return;
    // A window may be titled with a menu's caption ("&About Quillon...").
    Translate([widget] { return widget->windowTitle(); },
              [widget](const QString& t) { widget->setWindowTitle(PlainCaption(t)); });
    TranslateWidgetText(widget);
    TranslateHints(widget);
}

}

QString PlainToolTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

QString CommandToolTip(const QString& caption, const QString& hint)
{
    return PlainToolTip(hint.isEmpty() ? PlainCaption(caption) : hint);
}

void TranslateComponent(QObject* object)
{
    if (!object || object->property(TranslatedProperty).toBool())
        return;
    object->setProperty(TranslatedProperty, true);
    if (auto* action = qobject_cast<QAction*>(object))
        TranslateAction(action);
    else if (auto* widget = qobject_cast<QWidget*>(object))
        TranslateWidget(widget);
}

void TranslateComponentTree(QObject* root)
{
    if (!root)
        return;
    TranslateComponent(root);
    // The parts of a file dialog show file names, never keys.
    if (qobject_cast<QFileDialog*>(root))
        return;
    for (QObject* child : root->children())
        TranslateComponentTree(child);
}
