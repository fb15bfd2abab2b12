#pragma once
// The virtual station definition TFOblDef ("Definicja obliczenia"). Opening
// shows the label and the members of the stored formula in "In plus" and
// "In minus" (virtual_definition.h cleans it and drops members the station
// list lacks) and finds the entry by its label. "Dodaj" asks the member picker
// for stations, handing it the members already chosen; "Usuń" drops the
// selected members; every change enables "Zastosuj", which has no action of
// its own and is the window's changed flag. "OK" (the default button, so
// also Enter in "Nazwa") saves the entry where it was found at opening,
// keeping the ordered capacity and later fields, and hands the saved label
// back so the main window can select it.
#include "capacity/virtual_definition.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace kiv {

// What the main window hands over.
struct TOblDefArgs {
    std::string kivIni;
    std::string dataFolder;
    std::string label;
    std::string formula;
};

// Runs the station picker on the main window's nodes, the chosen members
// fixed, and returns the texts of the nodes left ticked.
using TMemberPicker = std::function<std::vector<std::string>(const TMemberLists& chosen)>;

class TFOblDef : public QDialog {
    Q_OBJECT
public:
    explicit TFOblDef(QWidget* parent = nullptr);

    void SetPicker(TMemberPicker picker) { picker_ = std::move(picker); }
    // Opens without waiting: the label, both lists, the key; nothing changed.
    void Setup(const TOblDefArgs& args);
    // Setup, then modal. True after a save; savedLabel then takes the label.
    [[nodiscard]] bool Execute(const TOblDefArgs& args, std::string& savedLabel);

    [[nodiscard]] bool Saved() const { return saved_; }
    [[nodiscard]] const std::string& SavedLabel() const { return savedLabel_; }
    // The entry's number in the section: found at opening, 0 for a new one.
    [[nodiscard]] int EntryNumber() const { return number_; }
    [[nodiscard]] TMemberLists Members() const;
    [[nodiscard]] QLineEdit* LabelEdit() const { return label_; }
    [[nodiscard]] QListWidget* PlusList() const { return plus_; }
    [[nodiscard]] QListWidget* MinusList() const { return minus_; }
    [[nodiscard]] QPushButton* AddButton(bool plus) const { return plus ? addPlus_ : addMinus_; }
    [[nodiscard]] QPushButton* RemoveButton(bool plus) const { return plus ? subPlus_ : subMinus_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* UseButton() const { return use_; }

public slots:
    // "OK": saves and closes; a refused or failed save keeps the window open.
    void accept() override;
    // The close box and Escape: with changes, asks whether to keep them.
    void reject() override;

private:
    QWidget* BuildList(const char* caption, bool plus);
    void OnAdd(bool plus);
    void OnRemove(QListWidget* list);
    [[nodiscard]] bool Save();
    void MarkChanged();

    TOblDefArgs args_;
    TMemberPicker picker_;
    int number_ = 0;
    bool saved_ = false;
    std::string savedLabel_;
    bool filling_ = false;

    QLineEdit* label_;
    QListWidget* plus_ = nullptr;
    QListWidget* minus_ = nullptr;
    QPushButton* addPlus_ = nullptr;
    QPushButton* addMinus_ = nullptr;
    QPushButton* subPlus_ = nullptr;
    QPushButton* subMinus_ = nullptr;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* use_;
};

} // namespace kiv
