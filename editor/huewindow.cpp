#include "huewindow.h"

#include "dialogs.h"
#include "editsession.h"
#include "hueapply.h"
#include "huestrip.h"
#include "pixels.h"
#include "typednumber.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

using namespace qm;

namespace {

QString hex4(quint16 value)
{
    return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
}

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLineEdit* field(const char* name, QWidget* parent)
{
    auto* f = new QLineEdit(parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

} // namespace

HueWindow::HueWindow(EditSession& session, int hue, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_hue(hue)
    , m_colorValue(field("colorValue", this))
    , m_name(field("hueName", this))
    , m_tableStart(field("tableStart", this))
    , m_tableEnd(field("tableEnd", this))
    , m_gradientFrom(new QSpinBox(this))
    , m_gradientTo(new QSpinBox(this))
    , m_previewKind(new QComboBox(this))
    , m_previewId(field("previewId", this))
    , m_preview(new QLabel(this))
    , m_ramp(new QLabel(this))
{
    setObjectName(QStringLiteral("hueWindow"));
    setWindowTitle(QStringLiteral("Hue %1 (0x%2)").arg(hue).arg(hue, 4, 16, QLatin1Char('0')));

    auto* swatches = new QGridLayout;
    swatches->setSpacing(2);
    for (int i = 0; i < kHueColorCount; ++i) {
        auto* swatch = new QToolButton(this);
        swatch->setObjectName(QStringLiteral("swatch%1").arg(i));
        swatch->setCheckable(true);
        swatch->setAutoExclusive(true);
        swatch->setIconSize(QSize(20, 20));
        swatches->addWidget(swatch, i / 8, i % 8);
        connect(swatch, &QToolButton::clicked, this, [this, i] { pickColor(i); });
        m_swatches[i] = swatch;
    }
    m_ramp->setObjectName(QStringLiteral("hueRamp"));
    m_gradientFrom->setObjectName(QStringLiteral("gradientFrom"));
    m_gradientTo->setObjectName(QStringLiteral("gradientTo"));
    m_gradientFrom->setRange(0, kHueColorCount - 1);
    m_gradientTo->setRange(0, kHueColorCount - 1);
    m_gradientTo->setValue(kHueColorCount - 1);
    auto* gradientButton = button(QStringLiteral("Gradient"), "gradient", this);
    auto* gradientRow = new QHBoxLayout;
    gradientRow->addWidget(new QLabel(QStringLiteral("From"), this));
    gradientRow->addWidget(m_gradientFrom);
    gradientRow->addWidget(new QLabel(QStringLiteral("to"), this));
    gradientRow->addWidget(m_gradientTo);
    gradientRow->addWidget(gradientButton);
    gradientRow->addStretch();

    m_previewKind->setObjectName(QStringLiteral("previewKind"));
    m_previewKind->addItem(kindName(Static), int(Static));
    m_previewKind->addItem(kindName(Gump), int(Gump));
    m_previewId->setText(QStringLiteral("0xef"));   // the demo's grey urn
    m_preview->setObjectName(QStringLiteral("huePreview"));
    m_preview->setMinimumSize(96, 96);
    m_preview->setAlignment(Qt::AlignCenter);
    auto* previewRow = new QHBoxLayout;
    previewRow->addWidget(m_previewKind);
    previewRow->addWidget(m_previewId);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Colour (0x hex)"), m_colorValue);
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("tableStart"), m_tableStart);
    form->addRow(QStringLiteral("tableEnd"), m_tableEnd);
    form->addRow(QStringLiteral("Preview"), previewRow);

    auto* buttons = new QHBoxLayout;
    auto* copy = button(QStringLiteral("Copy"), "copyHue", this);
    auto* paste = button(QStringLiteral("Paste"), "pasteHue", this);
    auto* ok = button(QStringLiteral("OK"), "ok", this);
    auto* applyButton = button(QStringLiteral("Apply"), "apply", this);
    auto* cancel = button(QStringLiteral("Cancel"), "cancel", this);
    buttons->addWidget(copy);
    buttons->addWidget(paste);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(applyButton);
    buttons->addWidget(cancel);

    auto* left = new QVBoxLayout;
    left->addLayout(swatches);
    left->addWidget(m_ramp);
    left->addLayout(gradientRow);
    left->addLayout(form);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(m_preview, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_colorValue, &QLineEdit::textEdited, this, [this](const QString& text) {
        qint64 value = 0;
        if (parseNumber(text, 0, 0xFFFF, &value)) {
            m_entry.colors[size_t(m_selected)] = quint16(value);
            showSwatches();
        }
    });
    connect(m_colorValue, &QLineEdit::editingFinished, this, &HueWindow::typedColor);
    connect(gradientButton, &QPushButton::clicked, this,
            [this] { gradient(m_gradientFrom->value(), m_gradientTo->value()); });
    connect(m_previewKind, &QComboBox::currentIndexChanged, this, &HueWindow::updatePreview);
    connect(m_previewId, &QLineEdit::textEdited, this, &HueWindow::updatePreview);
    connect(copy, &QPushButton::clicked, this, &HueWindow::copyHue);
    connect(paste, &QPushButton::clicked, this, &HueWindow::pasteHue);
    connect(applyButton, &QPushButton::clicked, this, &HueWindow::apply);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (apply())
            emit closeRequested();
    });
    connect(cancel, &QPushButton::clicked, this, &HueWindow::closeRequested);
    // Undo, Redo and Save change the hue under the window: it shows what the session holds.
    connect(&session, &EditSession::hueChanged, this, [this](int number) {
        if (number == m_hue)
            load(m_session.hue(m_hue));
    });
    // The directory read again: the hue as it holds it now, or the window goes with the hue.
    connect(&session, &EditSession::cataloguesReset, this, [this] {
        if (m_hue > m_session.hueCount())
            emit closeRequested();
        else
            load(m_session.hue(m_hue));
    });
    load(session.hue(hue));
}

QString HueWindow::mimeType()
{
    return QStringLiteral("application/x-quillmark-hue");
}

void HueWindow::load(const HueEntry& entry)
{
    m_entry = entry;
    m_name->setText(entry.name());
    m_tableStart->setText(QString::number(entry.tableStart));
    m_tableEnd->setText(QString::number(entry.tableEnd));
    showSwatches();
    selectSwatch(m_selected);
}

HueEntry HueWindow::edited(QString* problem) const
{
    HueEntry entry = m_entry;
    problem->clear();
    if (!setHueName(entry, m_name->text(), problem))
        return entry;
    qint64 value = 0;
    for (auto [box, target, name] : { std::make_tuple(m_tableStart, &entry.tableStart, "tableStart"),
                                      std::make_tuple(m_tableEnd, &entry.tableEnd, "tableEnd") }) {
        if (!parseNumber(box->text(), 0, 0xFFFF, &value)) {
            *problem = QStringLiteral("%1: '%2' is not a number from 0 to 65535").arg(QLatin1String(name), box->text());
            return entry;
        }
        *target = quint16(value);
    }
    return entry;
}

bool HueWindow::apply()
{
    typedColor();
    QString problem;
    const HueEntry entry = edited(&problem);
    if (problem.isEmpty() && m_session.setHue(m_hue, entry, &problem))
        return true;
    Dialogs::get().warning(this, windowTitle(), problem);
    return false;
}

void HueWindow::selectSwatch(int index)
{
    m_selected = qBound(0, index, kHueColorCount - 1);
    m_swatches[m_selected]->setChecked(true);
    m_colorValue->setText(hex4(m_entry.colors[size_t(m_selected)]));
}

void HueWindow::pickColor(int index)
{
    selectSwatch(index);
    const QColor chosen = Dialogs::get().getColor(this, QStringLiteral("Colour %1 of %2").arg(index).arg(windowTitle()),
                                                  QColor::fromRgb(color16ToRgb(qint16(m_entry.colors[size_t(index)]))));
    if (chosen.isValid())
        setColor(index, rgbToColor16(chosen.rgb()));
}

// A typed value is taken as it is, bit 15 included, so that Apply can name a colour the
// file cannot take instead of the box silently changing it.
void HueWindow::typedColor()
{
    qint64 value = 0;
    if (parseNumber(m_colorValue->text(), 0, 0xFFFF, &value))
        setColor(m_selected, quint16(value));
    else
        m_colorValue->setText(hex4(m_entry.colors[size_t(m_selected)]));
}

void HueWindow::setColor(int index, quint16 value)
{
    m_entry.colors[size_t(index)] = value;
    showSwatches();
    selectSwatch(m_selected);
}

void HueWindow::gradient(int from, int to)
{
    if (from > to)
        std::swap(from, to);
    const quint16 a = m_entry.colors[size_t(from)] & kMaxHueColor;
    const quint16 b = m_entry.colors[size_t(to)] & kMaxHueColor;
    for (int i = from + 1; i < to; ++i) {
        quint16 c = 0;
        for (int shift : { 10, 5, 0 }) {
            const int ca = (a >> shift) & 31;
            const int cb = (b >> shift) & 31;
            const int level = ca + ((cb - ca) * (i - from) * 2 + (to - from)) / (2 * (to - from));
            c |= quint16(qBound(0, level, 31) << shift);
        }
        m_entry.colors[size_t(i)] = c;
    }
    showSwatches();
    selectSwatch(m_selected);
}

void HueWindow::showSwatches()
{
    for (int i = 0; i < kHueColorCount; ++i) {
        QPixmap block(20, 20);
        block.fill(QColor::fromRgb(color16ToRgb(qint16(m_entry.colors[size_t(i)]))));
        m_swatches[i]->setIcon(block);
        m_swatches[i]->setToolTip(QStringLiteral("%1: %2").arg(i).arg(hex4(m_entry.colors[size_t(i)])));
    }
    m_ramp->setPixmap(hueStrip(m_entry, QSize(256, 12)));
    m_swatches[m_selected]->setChecked(true);
    updatePreview();
}

void HueWindow::updatePreview()
{
    const ItemKind kind = ItemKind(m_previewKind->currentData().toInt());
    qint64 id = -1;
    const QImage picture = parseNumber(m_previewId->text(), 0, 0xFFFFF, &id) ? m_session.image(kind, int(id)) : QImage();
    if (picture.isNull()) {
        m_preview->setText(QStringLiteral("No picture"));
        return;
    }
    QString ignored;
    const HueEntry entry = edited(&ignored);
    const HueMode mode = defaultHueMode(kind, kind == Static ? m_session.tile(kind, int(id)).flags : 0);
    m_preview->setPixmap(QPixmap::fromImage(applyHue(picture, entry, mode)));
}

void HueWindow::copyHue()
{
    QString ignored;
    auto* data = new QMimeData;
    data->setData(mimeType(), hueEntryBytes(edited(&ignored)));
    QApplication::clipboard()->setMimeData(data);
}

void HueWindow::pasteHue()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QByteArray bytes = data ? data->data(mimeType()) : QByteArray();
    if (bytes.size() == kHueEntrySize)
        load(parseHueEntry(bytes.constData()));
}
