#pragma once

#include <QComboBox>

// A combo box that reports when its list drops down and closes up, so that
// an entry can show a different text while the list is open. Item texts are
// read whole, whatever their length.
class TBuglessComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TBuglessComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}

    // Appends an item and returns its index.
    int Add(const QString& text, const QVariant& data = {});
    bool IsDroppedDown() const { return m_droppedDown; }

    void showPopup() override;
    void hidePopup() override;

signals:
    // Emitted before the list opens and after it closed.
    void droppedDown();
    void closedUp();

private:
    bool m_droppedDown = false;
};
