#include "mainwindow/BatchRun.h"

#include "mainwindow/FQuillon.h"

#include "platform/Prompt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QToolButton>
#include <QTreeView>

#include <cmath>

TBatchRun::TBatchRun(TFQuillon& window, int total)
    : m_window(window), m_total(total),
      m_pump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); }),
      m_treeQuiet(window.ShellTreeView1->selectionModel())
{
    m_buttonWasEnabled = m_window.ButSucheAbbrechen->isEnabled();
    m_window.ButSucheAbbrechen->setEnabled(true);
    connect(m_window.ButSucheAbbrechen, &QToolButton::clicked, this, [this] { m_aborted = true; });
    qApp->installEventFilter(this);
    ShowProgress();
}

TBatchRun::~TBatchRun()
{
    qApp->removeEventFilter(this);
    m_window.ButSucheAbbrechen->setEnabled(m_buttonWasEnabled);
    m_window.ProgressLaden->setValue(0);
}

bool TBatchRun::Next(bool changedDisk)
{
    ++m_done;
    ShowProgress();
    if (changedDisk)
        m_pump.Run();
    else
        m_pump.Poll();
    return !m_aborted;
}

void TBatchRun::ShowProgress()
{
    const int percent = m_total > 0 ? static_cast<int>(std::lround(m_done * 100.0 / m_total)) : 0;
    if (percent != m_shownPercent) {
        m_shownPercent = percent;
        m_window.ProgressLaden->setValue(percent);
    }
}

bool TBatchRun::eventFilter(QObject* watched, QEvent* event)
{
    // Events reach a window first and its widgets after; only the widgets'
    // copies are held off, so the abort button still gets its clicks.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return widget != m_window.ButSucheAbbrechen;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_aborted = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::InputMethod:
        event->ignore();
        return true;
    case QEvent::Close:
        // The window stays open until the command has finished.
        if (widget != &m_window)
            return false;
        event->ignore();
        return true;
    default:
        return false;
    }
}

void RunOverSelection(TFQuillon& window, const std::function<bool(TEintragdaten&)>& work)
{
    TBatchRun run(window, window.EditedCount());
    // Events run between entries: they are taken by index.
    for (size_t i = 0; i < window.Entries().size(); ++i) {
        TEintragdaten& entry = *window.Entries()[i];
        if (entry.Edited && !run.Next(work(entry)))
            break;
    }
}

bool SelectedOrBeep(const TFQuillon& window)
{
    if (window.FirstEditedIndex() >= 0)
        return true;
    CurrentPrompt()->Beep();
    return false;
}
