#pragma once
// The "Tag No. Setting" dialog: edits the unit's tag number, at most 16
// characters.
#include "platform/CDialog.h"

#include <QString>

class QLineEdit;
class QPushButton;

class CTagDialog : public CDialog
{
    Q_OBJECT
public:
    static constexpr int IDD = 147;
    static constexpr int IDC_TAG = 1091;

    explicit CTagDialog(QWidget* parent = nullptr);

    // Runs the dialog on a copy of the tag; on OK the edited text replaces
    // it and the result is true, otherwise the tag is left as it was.
    bool EditTag(QString& tag);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    QString m_tag;
    QLineEdit* m_edit = nullptr;
};
