#pragma once
// The parameter report: the main window's set against a set read
// from the unit or from a parameter file, with the count of differences and
// the CSV export. It never changes the main window's set.
#include "CCompareList.h"
#include "foundation/CResourceManager.h"
#include "params/CSettings.h"
#include "platform/CDialog.h"

class QLabel;
class QPushButton;
class QCheckBox;
class QBoxLayout;
class QLayout;

class CCompareDialog : public CDialog, public CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 142;
    static constexpr int IDC_COPY = 1068;
    static constexpr int IDC_DEVICE = 1069;
    static constexpr int IDC_EXPORT_CSV = 1070;
    static constexpr int IDC_LIST = 1071;
    static constexpr int IDC_STATUS = 1072;
    static constexpr int IDC_FILE = 1073;
    static constexpr int IDC_HIDE = 1154;
    static constexpr int IDC_COMPARE_WITH = 1199;

    explicit CCompareDialog(QWidget* parent = nullptr);

    // Shows the report of settings; true whatever the window's result.
    bool Compare(const CSettings& settings);

    CCompareList& GetList() { return *m_list; }

    void OnBnClickedDevice();
    void OnBnClickedFile();
    void OnBnClickedExportCsv();
    void OnBnClickedHideUnableFunctions();
    void Refresh();

protected:
    bool OnInitDialog() override;

private:
    // The list's columns show their texts whole, within the screen's width.
    void OpenWideEnoughForTheList();
    void TakeComparedSet(const CSettings& settings, const QString& title);
    void UpdateStatusColor();
    // Runs a command so that its failure shows in an error box and leaves the window open.
    void Command(void (CCompareDialog::*handler)());

    CSettings m_reference;
    CSettings m_comparedSet;
    int m_compared = 0;
    CCompareList* m_list = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_copy = nullptr;
    QCheckBox* m_hide = nullptr;
    QWidget* m_compareWith = nullptr;
    QLayout* m_compareLayout = nullptr;
    QBoxLayout* m_beside = nullptr;
    QBoxLayout* m_closeColumn = nullptr;
};
