#include "LayoutsPage.h"

#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxComboBoxEditorState.h>
#include <lumo/QxFlowLayout.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Edits QxComboBoxEditorState cells through a QxComboBoxEditor. Reading and
// writing go through the editor's user property "state", as for any editor;
// only the cell's text needs telling.
class ChoiceDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        return new QxComboBoxEditor(parent);
    }

    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        if (!value.canConvert<QxComboBoxEditorState>())
            return QStyledItemDelegate::displayText(value, locale);
        const auto state = value.value<QxComboBoxEditorState>();
        if (state.selectedIndex < 0 || state.selectedIndex >= state.itemTexts.size())
            return QString();
        return state.itemTexts.at(state.selectedIndex);
    }
};

QxComboBoxEditorState choice(const QStringList &texts, int selected)
{
    return QxComboBoxEditorState(texts, selected);
}

} // namespace

LayoutsPage::LayoutsPage(QWidget *parent)
    : GalleryPage(QStringLiteral("layouts"), tr("Layouts"), parent)
    , m_chipArea(new QWidget)
    , m_chips(new QxFlowLayout(m_chipArea, 6, 6, 6))
    , m_newChip(new QLineEdit)
    , m_view(new QTableView)
    , m_model(new QStandardItemModel(0, 2, this))
    , m_choices(new QLabel)
{
    QxComboBoxEditorState::registerMetaType();

    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);
    splitter->addWidget(createTagsSection());
    splitter->addWidget(createChoicesSection());
    splitter->setSizes({ 380, 420 });
    layout->addWidget(createFoldedSection());

    // Folds follow the style's animation duration, so a style without
    // animations folds at once even with this on.
    auto *animate = new QCheckBox(tr("Animate folding"));
    animate->setObjectName(QStringLiteral("animateFolds"));
    layout->addWidget(animate);
    connect(animate, &QCheckBox::toggled, this, [this](bool on) {
        for (QxCollapsibleGroupBox *section : findChildren<QxCollapsibleGroupBox *>())
            section->setAnimated(on);
    });
}

// Tag chips in a flow layout; drag the splitter to see them re-wrap.
QxCollapsibleGroupBox *LayoutsPage::createTagsSection()
{
    auto *section = new QxCollapsibleGroupBox(nullptr);
    section->setObjectName(QStringLiteral("tagsSection"));
    section->setTitle(tr("Tags (QxFlowLayout)"));
    m_chipArea->setObjectName(QStringLiteral("chipArea"));
    section->addWidget(m_chipArea);
    auto *addRow = new QWidget;
    auto *addLayout = new QHBoxLayout(addRow);
    addLayout->setContentsMargins(0, 0, 0, 0);
    m_newChip->setObjectName(QStringLiteral("newChip"));
    m_newChip->setPlaceholderText(tr("New tag"));
    auto *add = new QPushButton(tr("Add"));
    add->setObjectName(QStringLiteral("addChip"));
    auto *alignment = new QComboBox;
    alignment->setObjectName(QStringLiteral("chipAlignment"));
    alignment->addItem(tr("Left"), int(Qt::AlignLeft));
    alignment->addItem(tr("Centred"), int(Qt::AlignHCenter));
    alignment->addItem(tr("Right"), int(Qt::AlignRight));
    alignment->addItem(tr("Justified"), int(Qt::AlignJustify));
    alignment->setToolTip(tr("Where each line of chips stands"));
    addLayout->addWidget(m_newChip, 1);
    addLayout->addWidget(add);
    addLayout->addWidget(alignment);
    section->addWidget(addRow);
    connect(alignment, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, alignment](int index) {
                m_chips->setRowAlignment(Qt::Alignment(alignment->itemData(index).toInt()));
            });
    auto *hint = new QLabel(tr("Click a chip to remove it. Drag the splitter: the chips "
                               "wrap into as many lines as the width needs."));
    hint->setWordWrap(true);
    section->addWidget(hint);
    section->getInsideWidget()->layout()->addItem(
            new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));

    for (const char *tag : { "Qt 5", "Qt 6", "C++17", "widgets", "validators", "sliders", "mail",
                             "completion", "flow layout", "WebKit", "WebEngine", "splash screen",
                             "snapshots", "Designer", "translations", "CMake", "Xvfb" })
        addChip(QString::fromUtf8(tag));
    auto addTyped = [this] {
        addChip(m_newChip->text());
        m_newChip->clear();
    };
    connect(add, &QPushButton::clicked, this, addTyped);
    connect(m_newChip, &QLineEdit::returnPressed, this, addTyped);
    return section;
}

// A table whose choice cells hold a list with its selection.
QxCollapsibleGroupBox *LayoutsPage::createChoicesSection()
{
    auto *section = new QxCollapsibleGroupBox(nullptr);
    section->setObjectName(QStringLiteral("choicesSection"));
    section->setTitle(tr("Choices (QxComboBoxEditor in a QTableView)"));
    m_model->setHorizontalHeaderLabels({ tr("Setting"), tr("Choice") });
    const QList<QPair<QString, QxComboBoxEditorState>> rows = {
        { tr("Rounding"),
          choice({ tr("half away from zero"), tr("half to even"), tr("toward zero") }, 0) },
        { tr("Notation"), choice({ tr("fixed"), tr("exponent"), tr("automatic") }, 2) },
        { tr("Unit"),
          choice({ QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("m"),
                   QStringLiteral("km") },
                 1) },
        { tr("Theme"), choice({ tr("light"), tr("dark") }, 0) },
    };
    for (const auto &row : rows) {
        auto *name = new QStandardItem(row.first);
        name->setEditable(false);
        auto *value = new QStandardItem;
        value->setData(QVariant::fromValue(row.second), Qt::EditRole);
        m_model->appendRow({ name, value });
    }
    m_view->setObjectName(QStringLiteral("choicesView"));
    m_view->setModel(m_model);
    m_view->setItemDelegateForColumn(1, new ChoiceDelegate(m_view));
    m_view->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->hide();
    section->addWidget(m_view);
    m_choices->setObjectName(QStringLiteral("choicesReadout"));
    m_choices->setWordWrap(true);
    section->addWidget(m_choices);

    connect(m_model, &QStandardItemModel::dataChanged, this, &LayoutsPage::showChoices);
    showChoices();
    return section;
}

// A section that starts folded away.
QxCollapsibleGroupBox *LayoutsPage::createFoldedSection()
{
    auto *section = new QxCollapsibleGroupBox(nullptr);
    section->setObjectName(QStringLiteral("foldedSection"));
    section->setTitle(tr("Folded away (QxCollapsibleGroupBox)"));
    auto *text = new QLabel(tr("This section started collapsed: its title check box "
                               "shows and hides everything inside."));
    text->setWordWrap(true);
    section->addWidget(text);
    section->setChecked(false);
    return section;
}

void LayoutsPage::addChip(const QString &text)
{
    const QString tag = text.simplified();
    if (tag.isEmpty())
        return;
    auto *chip = new QToolButton;
    chip->setObjectName(QStringLiteral("chip"));
    chip->setText(tag + QStringLiteral("  ✕"));
    chip->setToolTip(tr("Remove \"%1\"").arg(tag));
    chip->setAutoRaise(false);
    chip->setStyleSheet(QStringLiteral("QToolButton { background: #dde9f5; border: 1px solid "
                                       "#9bbbdb; border-radius: 10px; padding: 3px 8px; }"
                                       "QToolButton:hover { background: #c5dbf0; }"));
    m_chips->addWidget(chip);
    // deleteLater: the chip is still inside its own clicked() signal.
    connect(chip, &QToolButton::clicked, chip, &QObject::deleteLater);
}

void LayoutsPage::showChoices()
{
    QStringList lines;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const auto state = m_model->item(row, 1)->data(Qt::EditRole).value<QxComboBoxEditorState>();
        const QString selected
                = state.selectedIndex >= 0 && state.selectedIndex < state.itemTexts.size()
                ? state.itemTexts.at(state.selectedIndex)
                : tr("(none)");
        lines << QStringLiteral("%1: %2").arg(m_model->item(row, 0)->text(), selected);
    }
    m_choices->setText(tr("Model holds: %1").arg(lines.join(QStringLiteral(", "))));
}
