#include "CUiPrompts.h"

#include "CProfile.h"
#include "DialogFrame.h"
#include "OmbrixVersion.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include <atomic>

namespace {

std::atomic<IPromptHandler*> g_handler{nullptr};

QMessageBox::StandardButtons ButtonsOf(UINT style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 0x0002: // abort, retry, ignore
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case 0x0005: // retry, cancel
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(UINT style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ResultOf(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    default:
        return IDCANCEL;
    }
}

const QString kFolderSection = QStringLiteral("Folders");

QString FolderKey(const QString& defaultExtension)
{
    QString key = defaultExtension;
    if (key.startsWith(QLatin1Char('.')))
        key.remove(0, 1);
    return key.isEmpty() ? QStringLiteral("any") : key.toLower();
}

// The folder last used for this kind of file, else the user's home: never
// the working folder the program happened to be started from.
QString StartFolder(const QString& defaultExtension)
{
    const QString last = CProfile::GetProfileString(kFolderSection, FolderKey(defaultExtension));
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QDir::homePath();
}

// Qt's own file dialog opens at about 630 x 415 with its columns sized for
// English sample texts, which cuts the type and date columns and the side
// panel's entries. This widens the columns to their headings and cells (the
// name column to its heading only: a long file name may be cut) and the
// side panel to its entries, and the dialog to hold them, as far as the
// screen allows. It never narrows what the user widened (Qt keeps the
// column widths). A native dialog has none of these widgets.
void FitFileDialog(QFileDialog& dialog)
{
    constexpr int kNameColumn = 0;
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* side = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (!list || !side || !splitter || splitter->count() != 2)
        return;
    QHeaderView* header = list->header();
    int listWidth = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const int before = header->sectionSize(column);
        int whole = header->sectionSizeHint(column);
        if (column != kNameColumn) {
            list->resizeColumnToContents(column);
            whole = header->sectionSize(column);
        }
        header->resizeSection(column, qMax(before, whole));
        listWidth += header->sectionSize(column);
    }
    int sideWidth = 0;
    for (int row = 0; row < side->model()->rowCount(); ++row)
        sideWidth = qMax(sideWidth, side->sizeHintForIndex(side->model()->index(row, 0)).width());
    sideWidth += 2 * (side->frameWidth() + side->spacing());

    QList<int> sizes = splitter->sizes();
    const int grow = qMax(0, sideWidth - sizes[0]) + qMax(0, listWidth - sizes[1]);
    sizes[0] = qMax(sizes[0], sideWidth);
    sizes[1] = qMax(sizes[1], listWidth);
    if (grow > 0) {
        // Grown about its middle, and kept on the screen.
        const QRect screen = dialog.screen()->availableGeometry();
        const int frame = dialog.frameGeometry().width() - dialog.width();
        const int width = qMax(dialog.width(), qMin(dialog.width() + grow, screen.width() - frame));
        const int rightmost = qMax(screen.left(), screen.right() + 1 - frame - width);
        const int left = qBound(screen.left(), dialog.x() - (width - dialog.width()) / 2, rightmost);
        dialog.resize(width, dialog.height());
        dialog.move(left, dialog.y());
    }
    splitter->setSizes(sizes);
}

QString ChooseFile(const PromptRequest& request, QWidget* parent)
{
    if (IPromptHandler* handler = g_handler.load())
        return handler->OnFileDialog(request);

    QFileDialog dialog(parent);
    const bool save = request.kind == PromptRequest::Kind::SaveFile;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString qtFilter = CUiPrompts::ToQtFilter(request.filter);
    if (!qtFilter.isEmpty())
        dialog.setNameFilters(qtFilter.split(QStringLiteral(";;")));
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    dialog.setDirectory(request.directory);
    if (!request.text.isEmpty())
        dialog.selectFile(request.text);
    // Once it shows, and again when the folder's entries are in.
    QTimer::singleShot(0, &dialog, [&dialog] { FitFileDialog(dialog); });
    if (auto* model = dialog.findChild<QFileSystemModel*>())
        QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&dialog] { FitFileDialog(dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString FileDialog(PromptRequest::Kind kind, QWidget* parent, const QString& filter,
                   const QString& defaultExtension, const QString& initialName)
{
    PromptRequest request;
    request.kind = kind;
    request.text = initialName;
    request.filter = filter;
    request.defaultExtension = defaultExtension;
    request.directory = StartFolder(defaultExtension);
    const QString path = ChooseFile(request, parent);
    if (!path.isEmpty())
        CProfile::WriteProfileString(kFolderSection, FolderKey(defaultExtension), QFileInfo(path).absolutePath());
    return path;
}

} // namespace

int CUiPrompts::MessageBox(QWidget* parent, const QString& text, const QString& caption, UINT style)
{
    PromptRequest request;
    request.kind = PromptRequest::Kind::MessageBox;
    request.text = text;
    request.caption = caption.isEmpty() ? QStringLiteral(OMBRIX_PRODUCT_NAME) : caption;
    request.style = style;
    if (IPromptHandler* handler = g_handler.load())
        return handler->OnMessageBox(request);

    QMessageBox box(IconOf(style), request.caption, text, ButtonsOf(style), parent);
    UseDialogFrame(&box);
    // Texts are shown as they stand, never read as markup.
    box.setTextFormat(Qt::PlainText);
    return ResultOf(box.exec());
}

QString CUiPrompts::GetOpenFileName(QWidget* parent, const QString& filter, const QString& defaultExtension,
                                    const QString& initialName)
{
    return FileDialog(PromptRequest::Kind::OpenFile, parent, filter, defaultExtension, initialName);
}

QString CUiPrompts::GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultExtension,
                                    const QString& initialName)
{
    return FileDialog(PromptRequest::Kind::SaveFile, parent, filter, defaultExtension, initialName);
}

void CUiPrompts::SetHandler(IPromptHandler* handler)
{
    g_handler.store(handler);
}

QString CUiPrompts::ToQtFilter(const QString& filter)
{
    // Pairs of a description and its patterns; an empty description ends the list.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        if (name.isEmpty())
            break;
        const QString patterns = parts[i + 1].trimmed();
        if (patterns.isEmpty()) {
            filters.append(name);
            continue;
        }
        // Qt reads the patterns from the parentheses, separated by blanks;
        // "*.*" means every file, also those without a dot, which is "*" to Qt.
        QStringList qtList = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : qtList) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        const QString qtPatterns = qtList.join(QLatin1Char(' '));
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        QString entry = name;
        if (entry.contains(shown))
            entry.replace(shown, QLatin1Char('(') + qtPatterns + QLatin1Char(')'));
        else
            entry += QStringLiteral(" (") + qtPatterns + QLatin1Char(')');
        filters.append(entry);
    }
    return filters.join(QStringLiteral(";;"));
}
