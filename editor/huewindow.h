#pragma once

#include "hues.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace qm {
class EditSession;
}

// The window of one hue: its 32 colours as swatches (a click picks a colour; the chosen
// swatch's value is shown and typed as 0x hex), a gradient between two swatches, the name,
// tableStart and tableEnd, and a static or gump drawn with the hue as it is typed. Nothing
// reaches the session before Apply or OK, and each Apply is one undo step. Copy and Paste
// carry a whole hue between hue windows.
class HueWindow : public QWidget {
    Q_OBJECT

public:
    HueWindow(qm::EditSession& session, int hue, QWidget* parent = nullptr);

    int hue() const { return m_hue; }
    // The hue as the fields give it now, and why it cannot be applied (empty when it can).
    qm::HueEntry edited(QString* problem) const;
    // Applies the fields as one step; false after telling the user why not (nothing changed).
    bool apply();
    // Fills the colours strictly between swatches `from` and `to` with an even ramp.
    void gradient(int from, int to);
    void selectSwatch(int index);
    // The clipboard's MIME type for a whole hue (its 88 stored bytes).
    static QString mimeType();

signals:
    // OK or Cancel: the window is done.
    void closeRequested();

private:
    void load(const qm::HueEntry& entry);
    void pickColor(int index);
    void setColor(int index, quint16 value);
    void typedColor();
    void showSwatches();
    void updatePreview();
    void copyHue();
    void pasteHue();

    qm::EditSession& m_session;
    int m_hue;
    qm::HueEntry m_entry;   // colours as edited; name and table fields live in their boxes
    int m_selected = 0;
    QToolButton* m_swatches[qm::kHueColorCount] = {};
    QLineEdit* m_colorValue;
    QLineEdit* m_name;
    QLineEdit* m_tableStart;
    QLineEdit* m_tableEnd;
    QSpinBox* m_gradientFrom;
    QSpinBox* m_gradientTo;
    QComboBox* m_previewKind;
    QLineEdit* m_previewId;
    QLabel* m_preview;
    QLabel* m_ramp;
};
