// The input panel: the user's input pages with one frame input per frame ID,
// the further-fields page, the file-information page, the template inputs new
// inputs are modelled on, and the creation of single frame inputs.
#include "mainwindow/FQuillon.h"

#include "controls/Accelerators.h"
#include "dialogs/FormEingabefelder.h"
#include "controls/Guarded.h"
#include "mainwindow/UpdatesLock.h"
#include "common/StoredNames.h"

#include "frameinput/ID3v2FrameComment.h"
#include "frameinput/ID3v2FrameDateTime.h"
#include "frameinput/ID3v2FrameEdit.h"
#include "frameinput/ID3v2FrameGenre.h"
#include "frameinput/ID3v2FrameNumber.h"
#include "frameinput/ID3v2FrameURL.h"
#include "frameinput/ID3v2FrameUnKnown.h"
#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The property of a page's sheet that holds its title as shown; the tab
// shows it too, but a tab's text is never read back.
const char* const PageTitleProperty = "quillonPageTitle";
// The property of a page's sheet that holds the frame IDs the page was given,
// each once: also those that get no input in the tag version written now.
const char* const PageFrameIDsProperty = "quillonPageFrameIDs";

// Left edge of the input part of every created input.
constexpr int InputEditLeft = 110;
// Margin round the inner controls of the template inputs.
constexpr int TemplateBorderWidth = 2;

// The layout that stacks inputs from the top of a column in creation order;
// its last item is the stretch below them.
QVBoxLayout* ColumnLayout(QWidget* column)
{
    if (auto* layout = qobject_cast<QVBoxLayout*>(column->layout()))
        return layout;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    return layout;
}

// The widget inputs for parent are placed on: a scroll box's content.
QWidget* ColumnOf(QWidget* parent)
{
    if (auto* box = qobject_cast<QScrollArea*>(parent))
        return box->widget();
    return parent;
}

QVBoxLayout* NewPageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

template <typename TInput> TInput* NewInput(QWidget* parent)
{
    auto* input = new TInput(parent);
    input->Init();
    return input;
}

template <typename TInput> TInput* NewTemplateInput(QWidget* holder, const char* name)
{
    auto* input = NewInput<TInput>(holder);
    input->setObjectName(QString::fromLatin1(name));
    input->SetBorderWidth(TemplateBorderWidth);
    // The frame IDs the class handles, under the version a new input starts
    // with, until the settings give the version to edit.
    input->SetUseID3Version(input->UseID3Version());
    return input;
}

// A new input of the model's class with the texts of its class in the
// current language.
TID3v2Frame* NewInputLike(const TID3v2Frame& model, QWidget* parent)
{
    if (qobject_cast<const TID3v2FrameDateTime*>(&model)) {
        auto* input = NewInput<TID3v2FrameDateTime>(parent);
        input->SetDateLessHint(Lang("DateLessHint"));
        input->SetDateMoreHint(Lang("DateMoreHint"));
        return input;
    }
    if (qobject_cast<const TID3v2FrameEdit*>(&model))
        return NewInput<TID3v2FrameEdit>(parent);
    if (qobject_cast<const TID3v2FrameComment*>(&model)) {
        auto* input = NewInput<TID3v2FrameComment>(parent);
        input->SetDescriptionText(Lang("CommentDescription"));
        input->SetDescriptionTextNone(Lang("CommentNoDescription"));
        input->SetLanguageText(Lang("CommentLanguage"));
        input->SetLanguageTextNone(Lang("CommentNoLanguage"));
        return input;
    }
    if (qobject_cast<const TID3v2FrameGenre*>(&model))
        return NewInput<TID3v2FrameGenre>(parent);
    if (qobject_cast<const TID3v2FrameNumber*>(&model)) {
        auto* input = NewInput<TID3v2FrameNumber>(parent);
        input->SetTextBetween(Lang("TrackFieldOf"));
        return input;
    }
    if (qobject_cast<const TID3v2FrameURL*>(&model)) {
        auto* input = NewInput<TID3v2FrameURL>(parent);
        input->SetButtonHint(Lang("ShowHomepageHint"));
        return input;
    }
    auto* input = NewInput<TID3v2FrameUnKnown>(parent);
    input->SetButtonHint(Lang("DeleteFieldDataHint"));
    input->SetUnKnownFrame(Lang("UnKnownFieldUnKnown"));
    input->SetUnSupportedFrame(Lang("UnKnownFieldNotSupported"));
    return input;
}

QLineEdit* NewInfoField(QFormLayout* form, QWidget* page, const char* name, const char* caption)
{
    auto* field = new QLineEdit(page);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFrame(false);
    auto* label = new QLabel(QString::fromLatin1(caption), page);
    label->setTextFormat(Qt::PlainText);
    form->addRow(label, field);
    return field;
}

}

QWidget* TFQuillon::BuildInputPanel()
{
    PagInfos = new QTabWidget(PanID3);
    PagInfos->setObjectName(QStringLiteral("PagInfos"));
    PanVorgabe = new QWidget(PagInfos);
    PanVorgabe->setObjectName(QStringLiteral("PanVorgabe"));
    auto* templateLayout = new QHBoxLayout(PanVorgabe);
    templateLayout->setContentsMargins(4, 2, 4, 2);
    CbxVorgabe = new QCheckBox(QStringLiteral("%PatternCheckBox"), PanVorgabe);
    CbxVorgabe->setObjectName(QStringLiteral("CbxVorgabe"));
    CbxVorgabe->setEnabled(false);
    // Hidden while several files are selected, the check box keeps its
    // strip: the pages are fitted to one height whatever is selected then.
    QSizePolicy keepsItsPlace = CbxVorgabe->sizePolicy();
    keepsItsPlace.setRetainSizeWhenHidden(true);
    CbxVorgabe->setSizePolicy(keepsItsPlace);
    templateLayout->addWidget(CbxVorgabe);
    templateLayout->addStretch(1);

    PagInfos->addTab(BuildFurtherFieldsPage(), QStringLiteral("%PageMoreFieldsTitle"));
    PagInfos->addTab(BuildFileInfoPage(), QStringLiteral("%PageFileInfosTitle"));
    BuildTemplateInputs();
    PagInfosChange();
    connect(PagInfos, &QTabWidget::currentChanged, &m_inputPanelContext,
            [this] { RunGuarded(this, [this] { PagInfosChange(); }); });
    return PagInfos;
}

QWidget* TFQuillon::BuildFurtherFieldsPage()
{
    TabWeitereFelder = new QWidget(PagInfos);
    TabWeitereFelder->setObjectName(QStringLiteral("TabWeitereFelder"));
    QVBoxLayout* layout = NewPageLayout(TabWeitereFelder);
    SBoxWeitereFelder = new QScrollArea(TabWeitereFelder);
    SBoxWeitereFelder->setObjectName(QStringLiteral("SBoxWeitereFelder"));
    SBoxWeitereFelder->setFrameShape(QFrame::NoFrame);
    SBoxWeitereFelder->setWidgetResizable(true);
    SBoxWeitereFelder->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* column = new QWidget(SBoxWeitereFelder);
    column->setObjectName(QStringLiteral("SBoxWeitereFelderColumn"));
    ColumnLayout(column);
    SBoxWeitereFelder->setWidget(column);
    SBoxWeitereFelder->setVisible(false);
    PanKeineWeiterenFelder = new QLabel(QStringLiteral("%NoMoreFields"), TabWeitereFelder);
    PanKeineWeiterenFelder->setObjectName(QStringLiteral("PanKeineWeiterenFelder"));
    PanKeineWeiterenFelder->setTextFormat(Qt::PlainText);
    PanKeineWeiterenFelder->setAlignment(Qt::AlignCenter);
    PanKeineWeiterenFelder->setWordWrap(true);
    layout->addWidget(SBoxWeitereFelder, 1);
    layout->addWidget(PanKeineWeiterenFelder, 1);
    return TabWeitereFelder;
}

QWidget* TFQuillon::BuildFileInfoPage()
{
    TabDateiinfos = new QWidget(PagInfos);
    TabDateiinfos->setObjectName(QStringLiteral("TabDateiinfos"));
    QVBoxLayout* layout = NewPageLayout(TabDateiinfos);
    auto* form = new QFormLayout();
    form->setContentsMargins(4, 4, 4, 4);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(4);
    EDateiName = NewInfoField(form, TabDateiinfos, "EDateiName", "%FileInfoFileName");
    EDateiDatum = NewInfoField(form, TabDateiinfos, "EDateiDatum", "%FileInfoDate");
    EMP3Info = NewInfoField(form, TabDateiinfos, "EMP3Info", "%FileInfoMP3");
    ELaenge = NewInfoField(form, TabDateiinfos, "ELaenge", "%FileInfoLength");
    EGroesse = NewInfoField(form, TabDateiinfos, "EGroesse", "%FileInfoSize");
    layout->addLayout(form);
    layout->addStretch(1);
    return TabDateiinfos;
}

void TFQuillon::BuildTemplateInputs()
{
    auto* holder = new QWidget(this);
    holder->setObjectName(QStringLiteral("PanTemplateInputs"));
    holder->hide();
    ID3v2FrameDateTime = NewTemplateInput<TID3v2FrameDateTime>(holder, "ID3v2FrameDateTime");
    ID3v2FrameEdit = NewTemplateInput<TID3v2FrameEdit>(holder, "ID3v2FrameEdit");
    ID3v2FrameComment = NewTemplateInput<TID3v2FrameComment>(holder, "ID3v2FrameComment");
    ID3v2FrameGenre = NewTemplateInput<TID3v2FrameGenre>(holder, "ID3v2FrameGenre");
    ID3v2FrameNumber = NewTemplateInput<TID3v2FrameNumber>(holder, "ID3v2FrameNumber");
    ID3v2FrameURL = NewTemplateInput<TID3v2FrameURL>(holder, "ID3v2FrameURL");
    ID3v2FrameUnKnown = NewTemplateInput<TID3v2FrameUnKnown>(holder, "ID3v2FrameUnKnown");
    m_templateInputs = {ID3v2FrameDateTime, ID3v2FrameEdit, ID3v2FrameComment,
                        ID3v2FrameGenre,    ID3v2FrameNumber, ID3v2FrameURL};
}

TID3v2Frame* TFQuillon::CreateFrameInput(QWidget* parent, const QString& id, bool onlyKnown)
{
    const auto known = std::find_if(m_templateInputs.begin(), m_templateInputs.end(),
                                    [&id](const TID3v2Frame* input) { return input->FrameIDs().contains(id); });
    const TID3v2Frame* model = known != m_templateInputs.end() ? *known : nullptr;
    if (!model && !onlyKnown)
        model = ID3v2FrameUnKnown;
    if (!model)
        return nullptr;

    QWidget* column = ColumnOf(parent);
    TID3v2Frame* input = NewInputLike(*model, column);
    input->SetFrameID(id);
    input->SetUseID3Version(GetWriterVersion());
    input->SetAutoSize(model->AutoSize());
    input->SetBorderWidth(model->BorderWidth());
    input->SetEditLeft(InputEditLeft);
    if (!model->AutoSize())
        input->setFixedHeight(model->height());
    input->SetPopUpMenuControls(PopupMenu(QStringLiteral("PopFrameEdit")));
    input->SetWantEnabled(m_inputsEnabled);
    QVBoxLayout* layout = ColumnLayout(column);
    layout->insertWidget(layout->count() - 1, input);
    connect(input, &TID3v2Frame::dataChangedByUser, &m_inputPanelContext,
            [this](TID3v2Frame* sender) { InputEditedByUser(sender); });
    connect(input, &TID3v2Frame::innerContextPopup, &m_inputPanelContext,
            [this](TID3v2Frame*, QWidget* inner, const QPoint& globalPos) {
                RunGuarded(this, [&] { FrameInputContextPopup(inner, globalPos); });
            });
    m_pageInputs.push_back(input);
    return input;
}

void TFQuillon::DisposeInput(TID3v2Frame* input)
{
    input->disconnect(&m_inputPanelContext);
    input->hide();
    input->deleteLater();
}

void TFQuillon::SetInputsEnabled(bool enabled)
{
    if (m_inputsEnabled == enabled)
        return;
    m_inputsEnabled = enabled;
    for (TID3v2Frame* input : m_pageInputs)
        input->SetWantEnabled(enabled);
}

void TFQuillon::ReadInputPages(TEingabeSeiten& pages) const
{
    // An ID that no input class edits is gone from the layout. One that has
    // no input only because of the tag version written (ID3v1 has none for
    // most frames) stays, so that its input comes back with the version.
    const auto editable = [this](const QString& id) {
        return std::any_of(m_templateInputs.begin(), m_templateInputs.end(),
                           [&id](const TID3v2Frame* input) { return input->HandlesFrameID(id); });
    };
    for (int i = 0; i < PagInfos->count() - 2; ++i) {
        const QWidget* sheet = PagInfos->widget(i);
        TEingabeSeite& page = pages.Add(StoredInputPageTitle(sheet->property(PageTitleProperty).toString()));
        for (const QString& id : sheet->property(PageFrameIDsProperty).toStringList())
            if (editable(id))
                page.FrameIDs << id;
    }
}

void TFQuillon::ActEingabefelderExecute()
{
    TEingabeSeiten pages = InputPages();
    TFormEingabefelder dialog(this);
    if (dialog.Execute(m_templateInputs, pages))
        ApplyInputPages(pages);
}

TEingabeSeiten TFQuillon::InputPages() const
{
    TEingabeSeiten pages;
    ReadInputPages(pages);
    return pages;
}

void TFQuillon::ApplyInputPages(const TEingabeSeiten& pages)
{
    const TUpdatesLock lock(this);
    ApplyInputsToSelection();
    for (TID3v2Frame* input : m_pageInputs)
        DisposeInput(input);
    m_pageInputs.clear();
    // The template check box moves once, when the pages are complete.
    const QSignalBlocker quiet(PagInfos);
    RemoveInputPages();
    PagInfos->setTabText(PagInfos->indexOf(TabWeitereFelder), Lang("PageMoreFieldsTitle"));
    PagInfos->setTabText(PagInfos->indexOf(TabDateiinfos), Lang("PageFileInfosTitle"));

    // A frame gets one input: a layout stored with an ID twice would
    // otherwise show a second, empty input that writes a second frame.
    QSet<QString> placed;
    for (int i = 0; i < pages.Count(); ++i) {
        const TEingabeSeite& page = pages.Items(i);
        auto* sheet = new QWidget(PagInfos);
        auto* column = new QWidget(sheet);
        ColumnLayout(column);
        NewPageLayout(sheet)->addWidget(column, 1);
        const QString title = ShownName(page.Title);
        sheet->setProperty(PageTitleProperty, title);
        PagInfos->insertTab(i, sheet, LiteralCaption(title));
        // IDs that no input class handles get no input.
        QStringList given;
        for (const QString& id : page.FrameIDs) {
            if (placed.contains(id))
                continue;
            placed.insert(id);
            given << id;
            CreateFrameInput(column, id, true);
        }
        sheet->setProperty(PageFrameIDsProperty, given);
    }
    FitInputArea();
    PagInfos->setCurrentIndex(0);
    PagInfosChange();
    ShowSelectionInInputs();
}

void TFQuillon::RemoveInputPages()
{
    // The template check box lives on; it moves back to the active page.
    MoveTemplateCheckBox(TabDateiinfos);
    while (PagInfos->count() > 2) {
        QWidget* sheet = PagInfos->widget(0);
        PagInfos->removeTab(0);
        sheet->hide();
        sheet->deleteLater();
    }
}

void TFQuillon::FitInputArea()
{
    // Every page is as high as the highest one with the template check box
    // (the file information's fields are a page too): the panel keeps one
    // height whichever page is shown, so the tabs stay where they were clicked.
    const int templateHeight = PanVorgabe->minimumSizeHint().height();
    int pageHeight = 0;
    for (int i = 0; i < PagInfos->count(); ++i) {
        const QWidget* sheet = PagInfos->widget(i);
        int content = sheet->layout() ? sheet->layout()->minimumSize().height() : 0;
        if (PanVorgabe->parentWidget() == sheet)
            content -= templateHeight;
        pageHeight = std::max(pageHeight, content + templateHeight);
    }
    for (int i = 0; i < PagInfos->count(); ++i)
        PagInfos->widget(i)->setMinimumHeight(pageHeight);
    const QMargins margins = PanID3->contentsMargins() + PanID3->layout()->contentsMargins();
    const int height = PagInfos->minimumSizeHint().height() + margins.top() + margins.bottom();
    const QList<int> sizes = SplitterID3->sizes();
    const int index = SplitterID3->indexOf(PanID3);
    int total = 0;
    for (int size : sizes)
        total += size;
    if (index < 0 || sizes.size() != 2 || total <= 0) {
        // Not laid out yet: the splitter starts from the panel's own size.
        PanID3->resize(PanID3->width(), height);
        return;
    }
    const int panel = std::min(height, std::max(total - 1, 0));
    QList<int> fitted = {total - panel, total - panel};
    fitted[index] = panel;
    SplitterID3->setSizes(fitted);
}

void TFQuillon::PagInfosChange()
{
    if (QWidget* page = PagInfos->currentWidget())
        MoveTemplateCheckBox(page);
}

void TFQuillon::MoveTemplateCheckBox(QWidget* page)
{
    if (!page->layout() || PanVorgabe->parentWidget() == page)
        return;
    if (QWidget* previous = PanVorgabe->parentWidget(); previous && previous->layout())
        previous->layout()->removeWidget(PanVorgabe);
    PanVorgabe->setParent(page);
    page->layout()->addWidget(PanVorgabe);
    PanVorgabe->show();
}

void TFQuillon::ActFilePropertiesExecute()
{
    if (m_editedCount == 0) {
        CurrentPrompt()->Beep();
        return;
    }
    if (InputPanelPosition() == TInputPanelPos::Hidden)
        SetInputPanelPosition(TInputPanelPos::Bottom);
    PagInfos->setCurrentWidget(TabDateiinfos);
}
