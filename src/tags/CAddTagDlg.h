// CAddTagDlg: the modal dialog in which the user ticks the tags of one disc,
// creates new tags and deletes user tags. Creating and deleting act on the
// library engine at once; the ticks reach the disc only when the caller
// stores the strings the dialog hands back.
//
//   CAddTagDlg dialog(engine, parent);  // engine: not owned, never released
//   dialog.setNames(namesString);       // the disc's stored names, ", "-joined
//   int result = dialog.DoModal();      // IDOK or IDCANCEL
//
// What it hands back (both strings list the ticked tags in the engine's
// order; names are stored names, so category tags appear as their English
// keys "Video", "Photo", "Music", "Document"):
//  - IDOK: idsString() ("%d" ids joined with "::") and namesString()
//    (joined with ", ") of the ticked rows.
//  - IDCANCEL after a tag was deleted (wasTagDeleted()): the same two
//    strings, collected from the rows that are left. A deleted tag no longer
//    exists for any disc, so the caller must take these over.
//  - IDCANCEL otherwise: nothing is collected; idsString() is empty and
//    namesString() is what setNames gave.
// isModified() tells whether a tag was added or deleted or the ticks differ
// from what setNames gave.
//
// Deleting a user tag hides it in the engine (tags are never removed);
// adding the name of a hidden tag shows it again. The four category tags
// (rows 0 to 3) cannot be deleted. A new name is refused when it holds one
// of , ; & ' (message 3271), is blank (3272), is a category tag's name in
// the current language (3270) or in another language of the translation
// file (3279), or names a visible tag, ignoring case (3270).
#pragma once
#include "CFlwBaseDialog.h"
#include "ILibraryEngine.h"
#include "TagTranslationTable.h"

#include <memory>
#include <vector>

class CAlphaEditEx;
class CGButton;
class CGScrollCheckBox;
class CGStatic;

class CAddTagDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT IDD = 3233;
    static constexpr UINT kNameEditId = 3231;
    static constexpr UINT kAddButtonId = 3227;
    static constexpr UINT kTagListId = 3244;
    static constexpr UINT kOkCommand = 8016;
    static constexpr UINT kCancelCommand = 6044;
    static constexpr int kNameLimit = 259;
    // Refused as typed input: , ; & ' and their full-width forms (and U+FF40).
    static const QString kRefusedTyped;
    // Refused by the add button, which also sees pasted text.
    static const QString kRefusedInName;

    CAddTagDlg(ILibraryEngine* engine, QWidget* parent = nullptr);
    ~CAddTagDlg() override;

    void setNames(const QString& namesString) { m_strNames = namesString; }
    QString idsString() const { return m_strIds; }
    QString namesString() const { return m_strNames; }
    bool isModified() const;
    bool wasTagAdded() const { return m_bTagAdded; }
    bool wasTagDeleted() const { return m_bTagDeleted; }

    CAlphaEditEx* NameEdit() const { return m_pNameEdit; }
    CGButton* AddButton() const { return m_pAddButton; }
    CGScrollCheckBox* TagList() const { return m_pTagList; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void FillRows();
    void TickNames(const QStringList& names);
    QStringList TickedNames() const;
    void AddTypedTag();
    // A refusal of the typed name by its text alone (message shown); false when refused.
    bool AcceptName(const QString& text);
    HRESULT StoreNewTag(const QString& text);
    HRESULT DeleteTag(int row);
    void CollectResult();
    void Warn(UINT textId);

    ILibraryEngine* m_pEngine;
    CAlphaEditEx* m_pNameEdit = nullptr;
    CGButton* m_pAddButton = nullptr;
    CGScrollCheckBox* m_pTagList = nullptr;
    CGStatic* m_pDivider = nullptr;
    QString m_strIds;
    QString m_strNames;
    QString m_strInitialNames;
    LONG m_nTagCount = 0;
    std::vector<TagRecord> m_records;
    std::unique_ptr<TagTranslationTable> m_pTranslations;
    bool m_bTagDeleted = false;
    bool m_bTagAdded = false;
};
