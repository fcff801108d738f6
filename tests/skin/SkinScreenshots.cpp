// Screenshots of the skinned windows for review: a message box of every
// button set, the progress window, dialog frames with their buttons and
// controls, a sheet of every control in every state, and the main frame's
// pieces put together. They are written to build/screenshots/.
#include "CAlphaButton.h"
#include "CAlphaButtonEx.h"
#include "CAlphaEditEx.h"
#include "CAlphaStatic.h"
#include "CApProgressCtrl.h"
#include "CFlwBaseDialog.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CGEdit.h"
#include "CGComboListBox.h"
#include "CGListBoxContainer.h"
#include "CGScrollBar.h"
#include "CGScrollCheckBox.h"
#include "CGScrollEdit.h"
#include "CGStatic.h"
#include "CProgressDlg.h"
#include "ModalSeam.h"
#include "SkinFocusRing.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinTabOrder.h"
#include "StringResources.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kFolder = QStringLiteral(ALBIREO_SCREENSHOT_DIR);

QString Text(UINT id) { return LoadString(id); }

// The window as the screen shows it: its shape cut out, on a soft backdrop
// with a shadow.
QImage OnBackdrop(QWidget& window)
{
    QImage shot = window.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!window.mask().isEmpty()) {
        QImage cut(shot.size(), QImage::Format_ARGB32_Premultiplied);
        cut.fill(Qt::transparent);
        QPainter painter(&cut);
        painter.setClipRegion(window.mask());
        painter.drawImage(0, 0, shot);
        shot = cut;
    }
    const int margin = 28;
    QImage backdrop(shot.width() + 2 * margin, shot.height() + 2 * margin, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&backdrop);
    QLinearGradient sky(0, 0, backdrop.width(), backdrop.height());
    sky.setColorAt(0, QColor(0xC9, 0xD3, 0xDF));
    sky.setColorAt(1, QColor(0xAE, 0xBC, 0xCC));
    painter.fillRect(backdrop.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int spread = 10; spread > 0; spread -= 2) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x0C, 0x17, 0x27, 8));
        painter.drawRoundedRect(QRectF(margin - spread, margin - spread + 4, shot.width() + 2 * spread,
                                       shot.height() + 2 * spread), 12 + spread, 12 + spread);
    }
    painter.drawImage(margin, margin, shot);
    return backdrop;
}

bool Save(const QImage& image, const QString& name)
{
    QDir().mkpath(kFolder);
    return !image.isNull() && image.save(kFolder + QLatin1Char('/') + name);
}

// Shows a message box and keeps its picture.
QImage MessageShot(const QString& text, UINT style)
{
    QImage shot;
    ModalSeam::QueueAction([&](QDialog* window) {
        shot = OnBackdrop(*window);
        return IDCANCEL;
    });
    CFlwMessageBox::showMessage(text, style);
    return shot;
}

// A dialog with the frame of the program's dialogs and content of its own.
class FrameDialog : public CFlwBaseDialog {
public:
    FrameDialog(QString caption, QString background, int text1, UINT command1, int text2, UINT command2,
                std::function<void(FrameDialog*)> content)
        : m_caption(std::move(caption)), m_background(std::move(background)), m_text1(text1),
          m_command1(command1), m_text2(text2), m_command2(command2), m_content(std::move(content))
    {
    }

protected:
    BOOL OnInitDialog() override
    {
        const BOOL skinned = SetupSkin(m_caption, m_background, m_text1, m_command1, m_text2, m_command2);
        if (m_content) m_content(this);
        return skinned;
    }

private:
    QString m_caption, m_background;
    int m_text1;
    UINT m_command1;
    int m_text2;
    UINT m_command2;
    std::function<void(FrameDialog*)> m_content;
};

QImage DialogShot(FrameDialog& dialog)
{
    dialog.CreateModeless();
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    return OnBackdrop(dialog);
}

void AddTagContent(FrameDialog* dialog)
{
    auto* list = new CGScrollCheckBox(dialog);
    list->Create(WS_CHILD | WS_VISIBLE, RectLTRB(18, 40, 297, 270), dialog, 3244);
    list->SetDeletePicture(QStringLiteral("Image\\Albireo\\btn_delete_tag.png"), Text(8083));
    list->EnableDivider(true, QStringLiteral("Image\\Albireo\\divider.png"));
    const QStringList tags{Text(11407), Text(11408), Text(11406), Text(3245), QStringLiteral("Holiday"),
                           QStringLiteral("Family"), QStringLiteral("Work projects"), QStringLiteral("Archive 2019")};
    for (int row = 0; row < tags.size(); ++row) list->AddRow(tags[row], row >= 4);
    list->SetCheck(0, true);
    list->SetCheck(4, true);
    auto* divider = new CGStatic(dialog);
    divider->Create(QString(), WS_CHILD | WS_VISIBLE, RectLTRB(18, 275, 275, 277), dialog, 0);
    divider->SetPicture(QStringLiteral("Image\\Albireo\\divider.png"));
    auto* edit = new CAlphaEditEx(dialog);
    edit->Create(QStringLiteral("Image\\common\\edit\\input_bg_231.png"), WS_CHILD | WS_VISIBLE,
                 RectLTRB(18, 290, 249, 314), dialog, 3231);
    edit->SetCueText(QStringLiteral("New tag name"));
    auto* add = new CGButton(dialog);
    add->Create(QStringLiteral("Image\\Albireo\\btn_add_tag.png"), WS_CHILD | WS_VISIBLE, RectLTRB(259, 290, 303, 314),
                dialog, 3227);
}

void DiscInfoContent(FrameDialog* dialog)
{
    const struct { UINT label; QRect labelRect; QString value; QRect valueRect; } rows[] = {
        {3234, RectLTRB(40, 67, 180, 87), QStringLiteral("Holiday 2024"), RectLTRB(155, 67, 340, 85)},
        {8001, RectLTRB(40, 102, 160, 122), QStringLiteral("DVD-ROM, UDF 1.02"), RectLTRB(155, 102, 340, 142)},
        {3235, RectLTRB(40, 137, 180, 157), QStringLiteral("4.37 GB"), RectLTRB(175, 137, 340, 157)},
        {3236, RectLTRB(40, 172, 180, 212), QStringLiteral("2024-08-17"), RectLTRB(175, 172, 340, 192)},
        {3238, RectLTRB(40, 275, 120, 295), QString(), QRect()},
        {3239, RectLTRB(40, 364, 125, 384), QStringLiteral("Photo, Holiday"), RectLTRB(125, 364, 260, 384)},
    };
    for (const auto& row : rows) {
        auto* label = new CAlphaStatic(dialog);
        label->Create(Text(row.label), WS_CHILD | WS_VISIBLE, row.labelRect.adjusted(0, 0, 0, -row.labelRect.height() + 20),
                      dialog, 0, QColor(0x7A, 0x8B, 0xA1));
        if (row.value.isEmpty()) continue;
        auto* value = new CAlphaStatic(dialog);
        value->Create(row.value, WS_CHILD | WS_VISIBLE, row.valueRect.adjusted(0, 0, 0, -row.valueRect.height() + 20),
                      dialog, 0);
    }
    auto* label = new CGStatic(dialog);
    label->Create(QString(), WS_CHILD | WS_VISIBLE, RectLTRB(130, 218, 246, 334), dialog, 3225);
    label->SetPicture(QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\128\\photo.png"));
    auto* capture = new CGButton(dialog);
    capture->Create(QStringLiteral("Image\\Albireo\\btn_add_cover.png"), WS_CHILD | WS_VISIBLE,
                    RectLTRB(308, 238, 352, 262), dialog, 3226);
    auto* tags = new CGButton(dialog);
    tags->Create(QStringLiteral("Image\\Common\\button\\btn.png"), WS_CHILD | WS_VISIBLE, RectLTRB(273, 364, 366, 383),
                 dialog, 3227);
    tags->setText(Text(62005));
}

// A sheet of rows: a heading now and then, and rows of a name followed by
// labelled cells, each a control grabbed in one state.
class Sheet {
public:
    explicit Sheet(int width) : m_width(width) {}

    void Heading(const QString& text) { m_items.push_back({Item::Heading, QImage(), text}); }
    void Row(const QString& name) { m_items.push_back({Item::Row, QImage(), name}); }
    void Add(const QImage& image, const QString& label) { m_items.push_back({Item::Cell, image, label}); }

    QImage Render() const
    {
        std::vector<QRect> places = Layout();
        int height = 0;
        for (const QRect& place : places) height = std::max(height, place.bottom());
        QImage sheet(m_width, height + 28, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(QColor(0xF4, 0xF7, 0xFA));
        QPainter painter(&sheet);
        painter.setRenderHint(QPainter::Antialiasing);
        for (size_t i = 0; i < m_items.size(); ++i) {
            const Item& item = m_items[i];
            const QRect place = places[i];
            switch (item.kind) {
            case Item::Heading:
                painter.setPen(QColor(0x14, 0x25, 0x3E));
                painter.setFont(SkinFont::ShellDlg(16, true));
                painter.drawText(place, Qt::AlignLeft | Qt::AlignBottom, item.text);
                painter.fillRect(QRect(place.left(), place.bottom() + 3, place.width(), 1), QColor(0xD3, 0xDC, 0xE7));
                break;
            case Item::Row:
                painter.setPen(QColor(0x1B, 0x2A, 0x3F));
                painter.setFont(SkinFont::ShellDlg(12, true));
                painter.drawText(place, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, item.text);
                break;
            case Item::Cell:
                painter.drawImage(place.left() + (place.width() - item.image.width()) / 2, place.top(), item.image);
                painter.setPen(QColor(0x7A, 0x8B, 0xA1));
                painter.setFont(SkinFont::ShellDlg(10));
                painter.drawText(QRect(place.left(), place.bottom() - 14, place.width(), 15),
                                 Qt::AlignHCenter | Qt::AlignBottom, item.text);
                break;
            }
        }
        return sheet;
    }

private:
    struct Item {
        enum Kind { Heading, Row, Cell } kind;
        QImage image;
        QString text;
    };
    static constexpr int kNameWidth = 160;
    static constexpr int kMargin = 24;

    std::vector<QRect> Layout() const
    {
        std::vector<QRect> places;
        int x = kMargin, y = 12, lineHeight = 0;
        const auto newLine = [&](int gap) {
            y += lineHeight + gap;
            lineHeight = 0;
        };
        for (const Item& item : m_items) {
            if (item.kind == Item::Heading) {
                newLine(lineHeight ? 26 : 0);
                places.emplace_back(kMargin, y, m_width - 2 * kMargin, 24);
                lineHeight = 24;
                newLine(14);
                x = kMargin;
                continue;
            }
            if (item.kind == Item::Row) {
                newLine(lineHeight ? 12 : 0);
                places.emplace_back(kMargin, y, kNameWidth - 12, 40);
                lineHeight = 40;
                x = kMargin + kNameWidth;
                continue;
            }
            const QSize cell(std::max(item.image.width(), 84), item.image.height() + 18);
            if (x + cell.width() > m_width - kMargin) {
                newLine(12);
                x = kMargin + kNameWidth;
            }
            places.emplace_back(QPoint(x, y), cell);
            x += cell.width() + 14;
            lineHeight = std::max(lineHeight, cell.height());
        }
        return places;
    }

    int m_width;
    std::vector<Item> m_items;
};

const char* const kStates[4] = {"normal", "hover", "pressed", "disabled"};

// A host window with a surface colour, where controls are put into
// states. Only one host is shown at a time, so that the mouse reaches it.
class Host : public QWidget {
public:
    explicit Host(const QColor& surface)
    {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, surface);
        setPalette(palette);
        setAutoFillBackground(true);
        resize(700, 400);
        Hosts().push_back(this);
    }
    ~Host() override { std::erase(Hosts(), this); }
    void Use()
    {
        for (Host* other : Hosts())
            if (other != this) other->hide();
        if (!isVisible()) {
            show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
        }
    }
    // The control with a margin of the host's surface around it.
    QImage Grab(QWidget* control, int margin = 6)
    {
        return grab(control->geometry().adjusted(-margin, -margin, margin, margin)).toImage();
    }

private:
    static std::vector<Host*>& Hosts()
    {
        static std::vector<Host*> hosts;
        return hosts;
    }
};

// Puts a button into a visual state with real mouse events.
void Enter(QWidget* button, int state)
{
    const QPoint centre = button->rect().center();
    if (state == 1) QTest::mouseMove(button, centre);
    if (state == 2) QTest::mousePress(button, Qt::LeftButton, {}, centre);
    if (state == 3) button->setEnabled(false);
}

void Leave(QWidget* button, int state)
{
    if (state == 2) QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-20, -20));
    if (state == 3) button->setEnabled(true);
    QTest::mouseMove(button->window(), QPoint(690, 390));
}

// One row of the sheet: the control's name, then its four states.
template <class MakeButton>
void AddStates(Sheet& sheet, Host& host, const QString& name, MakeButton make)
{
    host.Use();
    sheet.Row(name);
    for (int state = 0; state < 4; ++state) {
        QWidget* button = make();
        Enter(button, state);
        sheet.Add(host.Grab(button), QString::fromLatin1(kStates[state]));
        Leave(button, state);
        delete button;
    }
}

QString BaseName(const char* picture)
{
    return QFileInfo(QString::fromLatin1(picture).replace(QLatin1Char('\\'), QLatin1Char('/'))).completeBaseName();
}

// A CGButton on `host` made from the picture, at its frame size unless given.
CGButton* ImageButton(Host& host, const QString& picture, QSize size = QSize())
{
    auto* button = new CGButton(&host);
    button->Create(picture, WS_CHILD | WS_VISIBLE, QRect(QPoint(40, 40), size), &host, 1);
    return button;
}

void ButtonRows(Sheet& sheet, Host& light, Host& navy, Host& bar)
{
    sheet.Heading(QStringLiteral("CGButton: the four frames of each state"));
    AddStates(sheet, light, QStringLiteral("Bottom button\nbtn.png"), [&] {
        CGButton* button = ImageButton(light, QStringLiteral("Image\\Common\\button\\btn.png"), QSize(136, 24));
        button->setText(Text(8016));
        return button;
    });
    for (bool on : {false, true})
        AddStates(sheet, light, on ? QStringLiteral("Check box, ticked") : QStringLiteral("Check box\nbtn_check-box.png"), [&, on] {
            CGButton* button = ImageButton(light, QStringLiteral("Image\\Common\\checkbox\\btn_check-box.png"), QSize(20, 20));
            button->SetToggle(true);
            button->SetCheck(on);
            return button;
        });
    for (const char* picture : {"Image\\Albireo\\btn_add_tag.png", "Image\\Albireo\\btn_add_cover.png",
                                "Image\\Albireo\\btn_delete_tag.png", "Image\\Albireo\\btn_tag_all.png",
                                "Image\\Dialogs\\SnapshotDlg\\btn_capture.png"})
        AddStates(sheet, light, BaseName(picture), [&] { return ImageButton(light, QString::fromLatin1(picture)); });
    for (const char* picture : {"Image\\Dialogs\\BaseDialog\\btn_caption_under.png",
                                "Image\\Dialogs\\BaseDialog\\btn_caption_close.png", "Image\\MainFrame\\btn_searchGo.png"})
        AddStates(sheet, navy, BaseName(picture), [&] { return ImageButton(navy, QString::fromLatin1(picture)); });
    for (const char* name : {"import", "back", "small_icons", "details", "refresh", "large_icons", "search", "tags"})
        AddStates(sheet, bar, QStringLiteral("Command bar: %1").arg(QLatin1String(name)), [&] {
            return ImageButton(bar, QStringLiteral("Image\\CommandView\\btn_%1.png").arg(QLatin1String(name)), QSize(23, 23));
        });
}

void CheckAndRadioRows(Sheet& sheet, Host& light)
{
    sheet.Heading(QStringLiteral("CAlphaButtonEx and CAlphaButton"));
    for (DWORD type : {BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON})
        for (bool on : {false, true}) {
            const QString kind = type == BS_AUTOCHECKBOX ? QStringLiteral("Check box") : QStringLiteral("Radio button");
            AddStates(sheet, light, on ? kind + QStringLiteral(", chosen") : kind, [&, type, on] {
                auto* button = new CAlphaButtonEx(&light);
                button->Create(type == BS_AUTOCHECKBOX ? QStringLiteral("Show hidden drives") : QStringLiteral("DVD"),
                               QString(), WS_CHILD | WS_VISIBLE | type, QRect(40, 40, 140, 20), &light, 6);
                button->setChecked(on);
                return button;
            });
        }
    AddStates(sheet, light, QStringLiteral("CAlphaButton"), [&] {
        auto* button = new CAlphaButton(&light);
        button->Create(QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\32\\music.png"), WS_CHILD | WS_VISIBLE,
                       QRect(40, 40, 32, 32), &light, 7);
        return button;
    });
}

void EditRows(Sheet& sheet, Host& light, Host& navy)
{
    sheet.Heading(QStringLiteral("Edits, combo box, statics"));
    light.Use();
    sheet.Row(QStringLiteral("CAlphaEditEx"));
    auto* edit = new CAlphaEditEx(&light);
    edit->Create(QStringLiteral("Image\\common\\edit\\input_bg_231.png"), WS_CHILD | WS_VISIBLE, QRect(40, 40, 231, 24),
                 &light, 8);
    edit->SetCueText(QStringLiteral("New tag name"));
    sheet.Add(light.Grab(edit), QStringLiteral("empty: cue text"));
    edit->setText(QStringLiteral("Holiday"));
    sheet.Add(light.Grab(edit), QStringLiteral("text"));
    edit->setEnabled(false);
    sheet.Add(light.Grab(edit), QStringLiteral("disabled"));
    delete edit;
    sheet.Row(QStringLiteral("CGEdit"));
    auto* number = new CGEdit(&light);
    number->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(40, 40, 160, 24), &light, 9);
    number->SetValue(4698669056LL);
    sheet.Add(light.Grab(number), QStringLiteral("number"));
    delete number;

    sheet.Row(QStringLiteral("CGComboBox"));
    auto* combo = new CGComboBox(&light);
    combo->Create(QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"),
                  QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"), WS_CHILD | WS_VISIBLE,
                  QRect(40, 40, 216, 24), &light, 10);
    for (const char* drive : {"D: HL-DT-ST BD-RE WH16NS60", "E: Disc image (holiday.iso)", "F: ASUS SDRW-08D2S-U"})
        combo->AddString(QString::fromLatin1(drive));
    combo->SetCurSel(0);
    sheet.Add(light.Grab(combo), QStringLiteral("normal"));
    QTest::mouseMove(combo, QPoint(20, 10));
    sheet.Add(light.Grab(combo), QStringLiteral("hover"));
    combo->setEnabled(false);
    sheet.Add(light.Grab(combo), QStringLiteral("disabled"));
    combo->setEnabled(true);
    combo->showPopup();
    QTest::mouseMove(combo->Popup()->List(), QPoint(40, 36));
    QImage open(combo->Popup()->width() + 12, combo->Popup()->height() + combo->height() + 14,
                QImage::Format_ARGB32_Premultiplied);
    open.fill(QColor(0xF4, 0xF7, 0xFA));
    QPainter painter(&open);
    painter.drawImage(0, 0, light.Grab(combo));
    painter.drawImage(6, combo->height() + 7, combo->Popup()->grab().toImage());
    painter.end();
    sheet.Add(open, QStringLiteral("open, row under the mouse"));
    combo->hidePopup();
    delete combo;

    sheet.Row(QStringLiteral("CGStatic"));
    auto* picture = new CGStatic(&light);
    picture->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(40, 40, 116, 116), &light, 12);
    picture->SetPicture(QStringLiteral("Image\\Albireo\\cover.png"));
    sheet.Add(light.Grab(picture), QStringLiteral("picture"));
    picture->SetImage(QImage());
    picture->setGeometry(40, 40, 198, 1);
    picture->SetFillColor(QColor(209, 211, 213));
    sheet.Add(light.Grab(picture, 10), QStringLiteral("colour fill"));
    picture->setGeometry(40, 40, 180, 20);
    picture->SetFillColor(QColor());
    picture->SetText(Text(3004).isEmpty() ? QStringLiteral("Tags") : Text(3004));
    sheet.Add(light.Grab(picture), QStringLiteral("text"));
    delete picture;
    navy.Use();
    sheet.Row(QStringLiteral("CAlphaStatic"));
    auto* text = new CAlphaStatic(&navy);
    text->Create(QStringLiteral("Library \u203a Holiday 2024 \u203a DCIM"), WS_CHILD | WS_VISIBLE, QRect(40, 40, 240, 18),
                 &navy, 11, Qt::white);
    sheet.Add(navy.Grab(text), QStringLiteral("white, on the caption"));
    delete text;
}

void ScrollRows(Sheet& sheet, Host& light)
{
    sheet.Heading(QStringLiteral("Scrolling and progress"));
    light.Use();
    sheet.Row(QStringLiteral("CGScrollBar\nCGScrollCheckBox"));
    auto* bar = new CGScrollBar(&light);
    bar->Create(WS_CHILD | WS_VISIBLE, QRect(40, 40, 14, 180), &light, 13);
    bar->setRange(0, 100);
    bar->setPageStep(30);
    bar->setValue(35);
    sheet.Add(light.Grab(bar), QStringLiteral("bar"));
    QTest::mouseMove(bar, bar->PartRect(CGScrollBar::Thumb).center());
    sheet.Add(light.Grab(bar), QStringLiteral("thumb hover"));
    bar->setEnabled(false);
    sheet.Add(light.Grab(bar), QStringLiteral("disabled"));
    delete bar;
    auto* list = new CGScrollCheckBox(&light);
    list->Create(WS_CHILD | WS_VISIBLE, QRect(40, 40, 279, 180), &light, 14);
    list->SetDeletePicture(QStringLiteral("Image\\Albireo\\btn_delete_tag.png"), Text(8083));
    list->EnableDivider(true, QStringLiteral("Image\\Albireo\\divider.png"));
    for (const QString& tag : {Text(11407), Text(11408), Text(11406), Text(3245), QStringLiteral("Holiday"),
                               QStringLiteral("Family"), QStringLiteral("Work")})
        list->AddRow(tag, list->GetRowCount() >= 4);
    list->SetCheck(1, true);
    list->SetCheck(5, true);
    sheet.Add(light.Grab(list), QStringLiteral("rows, divider, delete buttons"));
    delete list;
    sheet.Row(QStringLiteral("CGScrollEdit"));
    auto* edit = new CGScrollEdit(&light);
    edit->Create(WS_CHILD | WS_VISIBLE, QRect(40, 40, 240, 180), &light, 15);
    QStringList lines;
    for (int i = 1; i <= 30; ++i) lines << QStringLiteral("DCIM/100CANON/IMG_%1.JPG").arg(4000 + i);
    edit->setPlainText(lines.join(QLatin1Char('\n')));
    QTest::qWait(10);
    sheet.Add(light.Grab(edit), QStringLiteral("multi-line"));
    delete edit;
    sheet.Row(QStringLiteral("CApProgressCtrl"));
    for (int position : {0, 35, 100}) {
        auto* progress = new CApProgressCtrl(&light);
        progress->Create(QString(), QString(), WS_CHILD | WS_VISIBLE, QRect(40, 40, 200, 12), &light, 16);
        progress->SetPos(position);
        sheet.Add(light.Grab(progress), QStringLiteral("%1%").arg(position));
        delete progress;
    }
}

QImage ControlSheet()
{
    Sheet sheet(1100);
    Host light(QColor(0xF4, 0xF7, 0xFA));
    Host navy(QColor(0x14, 0x25, 0x3E));
    Host bar(QColor(222, 224, 224));
    ButtonRows(sheet, light, navy, bar);
    CheckAndRadioRows(sheet, light);
    EditRows(sheet, light, navy);
    ScrollRows(sheet, light);
    sheet.Heading(QStringLiteral("Default disc labels: 128 and 32 pixels"));
    for (const char* size : {"128", "32"}) {
        sheet.Row(QStringLiteral("%1 pixels").arg(QLatin1String(size)));
        for (const char* category : {"video", "photo", "music", "data", "system"})
            sheet.Add(SkinImage::Load(QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png")
                                          .arg(QLatin1String(size), QLatin1String(category))),
                      QString::fromLatin1(category));
    }
    return sheet.Render();
}

// The main frame's pieces put together as the frame draws them.
QImage MainFrameMock()
{
    const auto load = [](const char* name) { return SkinImage::Load(QStringLiteral("Image\\MainFrame\\%1").arg(QLatin1String(name))); };
    const int width = 900, height = 240;
    QImage frame(width, height, QImage::Format_ARGB32_Premultiplied);
    frame.fill(QColor(0xAE, 0xBC, 0xCC));
    QPainter p(&frame);
    const QImage left = load("bg_viviVov_01.png"), middle = load("bg_viviVov_02.png"), right = load("bg_viviVov_03.png");
    const QImage sideL = load("bg_viviVov_04.png"), sideR = load("bg_viviVov_06.png");
    const QImage cornerL = load("bg_viviVov_07.png"), bottom = load("bg_viviVov_08.png"), cornerR = load("bg_viviVov_09.png");
    p.drawImage(0, 0, left);
    for (int x = left.width(); x < width - right.width(); x += middle.width()) p.drawImage(x, 0, middle);
    p.drawImage(width - right.width(), 0, right);
    for (int y = 43; y < height - 6; y += sideL.height()) {
        p.drawImage(0, y, sideL);
        p.drawImage(width - sideR.width(), y, sideR);
    }
    for (int x = 9; x < width - 10; x += bottom.width()) p.drawImage(x, height - 6, bottom);
    p.drawImage(0, height - 6, cornerL);
    p.drawImage(width - 10, height - 6, cornerR);
    p.fillRect(QRect(10, 43, width - 20, 26), QColor(222, 224, 224));
    p.fillRect(QRect(10, 69, width - 20, height - 75), Qt::white);
    p.drawImage(8, 5, load("icon_flw_non_alpha.png"));
    p.drawImage(8 + 32 + 13, 7, load("vodidar_Flw.png"));
    p.setPen(Qt::white);
    p.setFont(SkinFont::ShellDlg(13, true));
    p.drawText(QRect(width / 2 - 150, 0, 300, 43), Qt::AlignCenter, QStringLiteral("Albireo"));
    int x = width - 10;
    for (const char* name : {"btn_caption_close.png", "btn_caption_max.png", "btn_caption_min.png"}) {
        const QImage strip = load(name);
        const int w = strip.width() / 3;
        x -= w;
        p.drawImage(x, 11, strip, 0, 0, w, strip.height());
        x -= 7;
    }
    const QImage search = load("searchBarAndIcon.png");
    QImage keyed = search.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y)
        for (int xx = 0; xx < keyed.width(); ++xx)
            if ((keyed.pixel(xx, y) & 0xFFFFFF) == 0xFF00FF) keyed.setPixel(xx, y, qRgba(222, 224, 224, 255));
    p.drawImage(width - 10 - search.width() - 4, 45, keyed);
    p.setPen(Qt::white);
    p.setFont(SkinFont::ShellDlg(11));
    p.drawText(QRect(width - 10 - search.width() + 21 - 4, 47, 186, 16), Qt::AlignVCenter, QStringLiteral("holiday"));
    int bx = 18;
    for (const char* name : {"btn_import.png", "btn_back.png"}) {
        const QImage strip = SkinImage::Load(QStringLiteral("Image\\CommandView\\%1").arg(QLatin1String(name)));
        p.drawImage(bx, 45, strip, 0, 0, 23, 23);
        bx += 209;
    }
    return frame;
}

// The controls with the keyboard focus, at layout scale 1.0 as they draw
// themselves, and at 1.5 as their pictures scaled under the larger ring.
QImage FocusSheet()
{
    QWidget host;
    host.resize(700, 60);
    std::vector<std::pair<QWidget*, QString>> controls;
    auto* button = new CGButton(&host);
    button->Create(QStringLiteral("Image\\Common\\button\\btn.png"), WS_CHILD | WS_VISIBLE, QRect(0, 0, 136, 24), &host, 1);
    button->setText(Text(8016));
    controls.emplace_back(button, QStringLiteral("button"));
    auto* check = new CGButton(&host);
    check->Create(QStringLiteral("Image\\Common\\checkbox\\btn_check-box.png"), WS_CHILD | WS_VISIBLE, QRect(), &host, 2);
    check->SetToggle(true);
    check->setFixedSize(20, 20);
    check->SetCheck(true);
    controls.emplace_back(check, QStringLiteral("tag check box"));
    auto* combo = new CGComboBox(&host);
    combo->Create(QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"),
                  QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"), WS_CHILD | WS_VISIBLE, QRect(0, 0, 216, 24),
                  &host, 3);
    combo->AddString(QStringLiteral("D: HL-DT-ST BD-RE WH16NS60"));
    combo->SetCurSel(0);
    controls.emplace_back(combo, QStringLiteral("combo box"));
    auto* edit = new CAlphaEditEx(&host);
    edit->Create(QStringLiteral("Image\\common\\edit\\input_bg_231.png"), WS_CHILD | WS_VISIBLE, QRect(0, 0, 231, 24),
                 &host, 4);
    edit->setText(QStringLiteral("Holiday"));
    controls.emplace_back(edit, QStringLiteral("edit"));
    auto* tick = new CAlphaButtonEx(&host);
    tick->Create(QStringLiteral("Show all drives"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, QRect(), &host, 5);
    controls.emplace_back(tick, QStringLiteral("check box"));
    auto* icon = new CAlphaButton(&host);
    icon->Create(QStringLiteral("Image\\icon\\icon_disk.png"), WS_CHILD | WS_VISIBLE, QRect(0, 0, 32, 32), &host, 6);
    controls.emplace_back(icon, QStringLiteral("picture button"));
    host.show();
    QApplication::setActiveWindow(&host);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&host));

    Sheet sheet(1180);
    sheet.Heading(QStringLiteral("Keyboard focus"));
    sheet.Row(QStringLiteral("scale 1.0"));
    for (const auto& [control, name] : controls) {
        control->setFocus(Qt::TabFocusReason);
        sheet.Add(control->grab().toImage(), name);
    }
    sheet.Row(QStringLiteral("scale 1.5"));
    button->setFocus(Qt::MouseFocusReason); // the mouse's focus shows no ring
    for (const auto& [control, name] : controls) {
        control->clearFocus();
        const QImage plain = control->grab().toImage();
        QImage large = plain.scaled(plain.size() * 1.5, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&large);
        SkinFocusRing::Draw(painter, large.rect(), 1.5);
        painter.end();
        sheet.Add(large, name);
    }
    return sheet.Render();
}

// A skinned dialog with the keyboard focus on its `index`th control in Tab
// order (counted from the end when negative).
QImage FocusedDialogShot(FrameDialog& dialog, int index)
{
    dialog.CreateModeless();
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const QList<QWidget*> order = SkinTabOrder::VisualOrder(&dialog);
    const qsizetype at = index < 0 ? order.size() + index : index;
    if (at >= 0 && at < order.size()) order[at]->setFocus(Qt::TabFocusReason);
    return OnBackdrop(dialog);
}

} // namespace

TEST(SkinScreenshots, FocusedControls)
{
    EXPECT_TRUE(Save(FocusSheet(), QStringLiteral("focus-controls.png")));
    FrameDialog addTag(Text(3257), QStringLiteral("Image\\Albireo\\bg_addtag.png"), 8016, IDOK, 0, 0, AddTagContent);
    EXPECT_TRUE(Save(FocusedDialogShot(addTag, 2), QStringLiteral("focus-addtag-row.png")));
    FrameDialog addTagEdit(Text(3257), QStringLiteral("Image\\Albireo\\bg_addtag.png"), 8016, IDOK, 0, 0, AddTagContent);
    EXPECT_TRUE(Save(FocusedDialogShot(addTagEdit, -3), QStringLiteral("focus-addtag-edit.png"))); // edit, add, OK
    FrameDialog discInfo(Text(3230), QStringLiteral("Image\\Albireo\\bg_DiscInfoDlg.png"), 3278, IDOK, 6084, IDCANCEL,
                         DiscInfoContent);
    EXPECT_TRUE(Save(FocusedDialogShot(discInfo, 2), QStringLiteral("focus-discinfo-ok.png")));
    const QImage box = MessageShot(Text(3017), 3 | 0x20 | 0x100);
    EXPECT_TRUE(Save(box, QStringLiteral("focus-messagebox-default-no.png")));
    ModalSeam::Reset();
}

TEST(SkinScreenshots, MessageBoxOfEveryButtonSet)
{
    const struct { UINT style; UINT text; } boxes[] = {
        {0x30, 3015}, {1 | 0x40, 3017}, {2 | 0x10, 3266}, {3 | 0x20, 3017}, {4, 3268}, {5 | 0x10, 3266},
    };
    for (const auto& box : boxes) {
        const QImage shot = MessageShot(Text(box.text), box.style);
        ASSERT_FALSE(shot.isNull()) << box.style;
        EXPECT_TRUE(Save(shot, QStringLiteral("messagebox-set%1.png").arg(box.style & 0x0F)));
    }
    QStringList words;
    for (int i = 0; i < 60; ++i) words << QStringLiteral("The library keeps every folder and file of the disc.");
    EXPECT_TRUE(Save(MessageShot(words.join(QLatin1Char(' ')), 0x40), QStringLiteral("messagebox-long.png")));
    ModalSeam::Reset();
}

TEST(SkinScreenshots, ProgressWindow)
{
    CProgressDlg progress;
    ASSERT_TRUE(progress.Create(Text(5023), nullptr));
    progress.SetTitle(Text(3273).replace(QStringLiteral("%s"), QStringLiteral("Holiday 2024")));
    progress.SetRange(0, 100);
    progress.SetPos(62);
    progress.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
    EXPECT_TRUE(Save(OnBackdrop(progress), QStringLiteral("progress.png")));
}

TEST(SkinScreenshots, DialogFramesWithTheirButtons)
{
    FrameDialog addTag(Text(3257), QStringLiteral("Image\\Albireo\\bg_addtag.png"), 8016, IDOK, 0, 0, AddTagContent);
    EXPECT_TRUE(Save(DialogShot(addTag), QStringLiteral("dialog-addtag.png")));
    FrameDialog discInfo(Text(3230), QStringLiteral("Image\\Albireo\\bg_DiscInfoDlg.png"), 3278, IDOK, 6084, IDCANCEL,
                         DiscInfoContent);
    EXPECT_TRUE(Save(DialogShot(discInfo), QStringLiteral("dialog-discinfo.png")));
    FrameDialog label(Text(3263), QStringLiteral("Image\\Albireo\\DiscLabel.png"), 8016, IDOK, 6084, IDCANCEL,
                      [](FrameDialog* dialog) {
                          auto* picture = new CGStatic(dialog);
                          picture->Create(QString(), WS_CHILD | WS_VISIBLE, RectLTRB(30, 60, 390, 420), dialog, 3225);
                          picture->SetPicture(QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\360\\music.png"));
                      });
    EXPECT_TRUE(Save(DialogShot(label), QStringLiteral("dialog-disclabel.png")));
    FrameDialog drive(QStringLiteral("Import Disc"), QStringLiteral("Image\\Marrowby\\bg_re_04.png"), 8016, IDOK, 6084,
                      IDCANCEL, [](FrameDialog* dialog) {
                          auto* text = new CAlphaStatic(dialog);
                          text->Create(LoadString(3248), WS_CHILD | WS_VISIBLE, QRect(30, 60, 340, 20), dialog, 3250);
                          auto* combo = new CGComboBox(dialog);
                          combo->Create(QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"),
                                        QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"),
                                        WS_CHILD | WS_VISIBLE, QRect(30, 92, 216, 24), dialog, 3251);
                          combo->AddString(QStringLiteral("D: HL-DT-ST BD-RE WH16NS60"));
                          combo->SetCurSel(0);
                      });
    drive.SetIconPath(QStringLiteral("Image\\icon\\icon_disk.png"));
    EXPECT_TRUE(Save(DialogShot(drive), QStringLiteral("dialog-driveselect.png")));
}

TEST(SkinScreenshots, EveryControlInEveryState)
{
    EXPECT_TRUE(Save(ControlSheet(), QStringLiteral("controls.png")));
}

TEST(SkinScreenshots, MainFramePieces)
{
    EXPECT_TRUE(Save(MainFrameMock(), QStringLiteral("mainframe-pieces.png")));
}
