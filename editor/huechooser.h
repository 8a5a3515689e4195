#pragma once

#include "hueapply.h"
#include "hues.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QSpinBox;

// Picks a hue to preview a picture with: a number field and a drop-down list of the hues
// (their colour strips and names; 0 is none), and whether the hue is partial. Only a choice:
// it changes nothing of any item.
class HueChooser : public QWidget {
    Q_OBJECT

public:
    explicit HueChooser(QWidget* parent = nullptr);

    // The hues offered; a number beyond them falls back to 0.
    void setHues(const qm::HueFile& hues);
    const qm::HueFile& hues() const { return m_hues; }
    // Hue `number` changed (an edit not yet saved): its list entry follows, and the preview
    // is redrawn when it is the chosen hue.
    void setHue(int number, const qm::HueEntry& hue);

    // 0 for none.
    int hueNumber() const;
    void setHueNumber(int hue);
    // The chosen hue; nullptr for none.
    const qm::HueEntry* hue() const { return m_hues.hue(hueNumber()); }

    qm::HueMode mode() const;
    void setMode(qm::HueMode mode);

    // A strip of the hue's 32 colours, darkest on the left.
    static QImage strip(const qm::HueEntry& hue, int width, int height);

    void retranslate();

signals:
    // The hue or the mode changed.
    void changed();

private:
    void fillList();
    static QString itemText(int number, const qm::HueEntry& hue);

    QSpinBox* m_number;
    QComboBox* m_list;
    QCheckBox* m_partial;
    qm::HueFile m_hues;
};
