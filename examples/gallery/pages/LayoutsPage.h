#pragma once

#include "GalleryPage.h"

class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;
class QxCollapsibleGroupBox;
class QxFlowLayout;

/// A QxFlowLayout of tag chips, QxCollapsibleGroupBox sections, and a table
/// whose cells are edited through QxComboBoxEditor.
class LayoutsPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit LayoutsPage(QWidget *parent = nullptr);

    QxFlowLayout *chips() const { return m_chips; }
    QWidget *chipArea() const { return m_chipArea; }
    QTableView *choicesView() const { return m_view; }
    QStandardItemModel *choicesModel() const { return m_model; }

    /// Appends a chip; an empty or blank text is ignored.
    void addChip(const QString &text);

private:
    QxCollapsibleGroupBox *createTagsSection();
    QxCollapsibleGroupBox *createChoicesSection();
    QxCollapsibleGroupBox *createFoldedSection();
    void showChoices();

    QWidget *m_chipArea;
    QxFlowLayout *m_chips;
    QLineEdit *m_newChip;
    QTableView *m_view;
    QStandardItemModel *m_model;
    QLabel *m_choices;
};
