#include "cataloguefilterbox.h"

#include "tileflags.h"

#include <QComboBox>
#include <QCompleter>
#include <QStringListModel>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

using namespace qm;

CatalogueFilterBox::CatalogueFilterBox(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("filterBox"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("lineFilter"));
    m_text->setClearButtonEnabled(true);
    m_text->setPlaceholderText(tr("Id, id range (0x100-0x1ff) or name"));
    m_history = new QStringListModel(this);
    auto* completer = new QCompleter(m_history, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_text->setCompleter(completer);
    m_flag = new QComboBox(this);
    m_flag->setObjectName(QStringLiteral("comboFlag"));
    m_flag->addItem(tr("Any flags"), -1);
    for (int bit = 0; bit < kTileFlagCount; ++bit)
        m_flag->addItem(QCoreApplication::translate("myWidget", kTileFlags[bit].caption), bit);
    m_has = new QComboBox(this);
    m_has->setObjectName(QStringLiteral("comboHas"));
    m_has->addItem(tr("has"), true);
    m_has->addItem(tr("has not"), false);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("textMatches"));
    layout->addWidget(m_text, 1);
    layout->addWidget(m_has);
    layout->addWidget(m_flag);
    layout->addWidget(m_count);

    auto changed = [this] { emit filterChanged(filter()); };
    connect(m_text, &QLineEdit::textChanged, this, changed);
    connect(m_flag, &QComboBox::currentIndexChanged, this, changed);
    connect(m_has, &QComboBox::currentIndexChanged, this, changed);
}

qm::CatalogueFilter CatalogueFilterBox::filter() const
{
    const int bit = m_flag->isEnabled() ? m_flag->currentData().toInt() : -1;
    return qm::parseCatalogueFilter(m_text->text(), bit, m_has->currentData().toBool());
}

void CatalogueFilterBox::setTileConditionsEnabled(bool enabled)
{
    m_flag->setEnabled(enabled);
    m_has->setEnabled(enabled);
    emit filterChanged(filter());
}

void CatalogueFilterBox::setMatchCount(int shown, int listed)
{
    m_count->setText(shown == listed ? tr("%n item(s)", nullptr, listed)
                                     : tr("%1 of %2").arg(shown).arg(listed));
}

void CatalogueFilterBox::clear()
{
    const QString typed = m_text->text().trimmed();
    if (!typed.isEmpty()) {
        QStringList kept = m_history->stringList();
        kept.removeAll(typed);
        kept.prepend(typed);
        m_history->setStringList(kept);
    }
    m_text->clear();
    m_flag->setCurrentIndex(0);
    m_has->setCurrentIndex(0);
}

QStringList CatalogueFilterBox::history() const
{
    return m_history->stringList();
}
