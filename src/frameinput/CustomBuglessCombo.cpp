#include "frameinput/CustomBuglessCombo.h"

int TBuglessComboBox::Add(const QString& text, const QVariant& data)
{
    addItem(text, data);
    return count() - 1;
}

void TBuglessComboBox::showPopup()
{
    emit droppedDown();
    m_droppedDown = true;
    QComboBox::showPopup();
}

void TBuglessComboBox::hidePopup()
{
    QComboBox::hidePopup();
    if (!m_droppedDown)
        return;
    m_droppedDown = false;
    emit closedUp();
}
