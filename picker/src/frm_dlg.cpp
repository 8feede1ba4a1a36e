// SPDX-License-Identifier: MIT
#include "tikko/picker/frm_dlg.h"

#include "tikko/alarm/settings.h"
#include "tikko/guarded.h"
#include "tikko/picker/picker_platform.h"
#include "ui_frmDlg.h"

#include <QDir>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSettings>
#include <QStyledItemDelegate>

Q_LOGGING_CATEGORY(lcPicker, "tikko.picker")

namespace tikko {

namespace {

const QString SettingNotSavedText =
    QStringLiteral("声音文件已选好，但无法保存到设置中，下次启动时不会再用它");
const QString NoDesktopText = QStringLiteral("找不到“桌面”文件夹");
const QString NoDocumentsText = QStringLiteral("找不到“我的文档”文件夹");

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPx = 10;

// Indents the folder rows by their depth, the way a folder tree reads.
class FolderRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.adjust(indent(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index) { return index.data(DepthRole).toInt() * IndentPx; }
};

} // namespace

FrmDlg::FrmDlg(const QString& caption, const QString& pattern, QSettings& settings,
               PickerHost& host, QWidget* owner, PickerOptions options)
    : QDialog(owner)
    , m_ui(std::make_unique<Ui::frmDlg>())
    , m_settings(settings)
    , m_host(host)
    , m_options(std::move(options))
    , m_logic(caption, pattern, pickerplatform::pathRules(), pickerplatform::drives()) {
    m_ui->setupUi(this);
    // A fixed single border with a close button and no minimise or maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setWindowTitle(caption);
    m_ui->Dir1->setItemDelegate(new FolderRowDelegate(m_ui->Dir1));
    m_ui->Dir1->installEventFilter(this);

    const QString start =
        !m_options.startFolder.isEmpty()
            ? m_options.startFolder
            : PickerLogic::startFolder(QDir::toNativeSeparators(QDir::currentPath()),
                                       QDir::toNativeSeparators(QDir::homePath()));
    if (const QString failure = m_logic.openFolder(start); !failure.isEmpty()) {
        qCWarning(lcPicker) << "cannot open" << start << ":" << failure;
        m_logic.openFolder(QDir::toNativeSeparators(QDir::rootPath()));
    }
    showFolder();
    // The user comes for a file; Enter on a focused button would press that button instead.
    m_ui->File1->setFocus();
}

FrmDlg::~FrmDlg() = default;

bool FrmDlg::pick(const QString& caption, const QString& pattern, QSettings& settings,
                  PickerHost& host, QWidget* owner) {
    FrmDlg dialog(caption, pattern, settings, host, owner);
    dialog.exec();
    return dialog.chosen();
}

bool FrmDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the folder list opens the folder instead of pressing OK.
    if (watched == m_ui->Dir1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded(lcPicker, "Dir1 Enter", [&] { openFolderRow(m_ui->Dir1->currentRow()); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmDlg::on_Drive1_activated(int index) {
    guarded(lcPicker, "Drive1", [&] {
        report(m_logic.selectDrive(m_ui->Drive1->itemText(index)));
        showFolder(); // also puts the drive list back when the drive was not ready
    });
}

void FrmDlg::on_Dir1_itemDoubleClicked(QListWidgetItem* item) {
    guarded(lcPicker, "Dir1", [&] { openFolderRow(m_ui->Dir1->row(item)); });
}

void FrmDlg::on_File1_itemDoubleClicked(QListWidgetItem* item) {
    guarded(lcPicker, "File1", [&] { choose(item ? item->text() : QString()); });
}

void FrmDlg::on_cmdDir0_clicked() {
    guarded(lcPicker, "cmdDir0", [&] { openSpecialFolder(true); });
}

void FrmDlg::on_cmdDir1_clicked() {
    guarded(lcPicker, "cmdDir1", [&] { openSpecialFolder(false); });
}

void FrmDlg::on_cmdDirNew_clicked() {
    guarded(lcPicker, "cmdDirNew", [&] {
        const QString failure = m_logic.createNewFolder();
        if (failure.isEmpty())
            showFolder();
        report(failure);
    });
}

void FrmDlg::on_cmdOK_clicked() {
    guarded(lcPicker, "cmdOK", [&] {
        const QList<QListWidgetItem*> selected = m_ui->File1->selectedItems();
        choose(selected.isEmpty() ? QString() : selected.first()->text());
    });
}

void FrmDlg::on_cmdCancel_clicked() {
    reject();
}

void FrmDlg::openSpecialFolder(bool desktop) {
    const QString path =
        pickerplatform::specialFolder(desktop ? pickerplatform::SpecialFolder::Desktop
                                              : pickerplatform::SpecialFolder::Documents);
    if (path.isEmpty()) {
        report(desktop ? NoDesktopText : NoDocumentsText);
        return;
    }
    const QString failure = m_logic.openFolder(path);
    if (failure.isEmpty())
        showFolder();
    report(failure);
}

void FrmDlg::openFolderRow(int row) {
    const QListWidgetItem* item = m_ui->Dir1->item(row);
    if (!item)
        return;
    const QString failure = m_logic.openFolder(item->data(PathRole).toString());
    if (failure.isEmpty())
        showFolder();
    report(failure);
}

void FrmDlg::choose(const QString& fileName) {
    const OkDecision decision = m_logic.decideOk(fileName);
    switch (decision.kind) {
    case OkDecision::Close:
        reject();
        return;
    case OkDecision::Refuse:
        report(decision.message);
        return;
    case OkDecision::Sound:
        m_host.setSoundFilePath(decision.path);
        writeSoundPath(m_settings, decision.path);
        m_chosen = true;
        // The choice holds for this run either way; the window still closes.
        if (m_settings.status() == QSettings::AccessError)
            report(SettingNotSavedText);
        break;
    case OkDecision::Program:
        m_host.setRunProgramPath(decision.path);
        m_chosen = true;
        break;
    }
    QDialog::accept();
}

void FrmDlg::showDrives() {
    QComboBox* combo = m_ui->Drive1;
    const QSignalBlocker quiet(combo);
    if (combo->count() != m_logic.drives().size()) {
        combo->clear();
        combo->addItems(m_logic.drives());
    }
    combo->setCurrentIndex(int(m_logic.drives().indexOf(m_logic.drive())));
}

void FrmDlg::showFolder() {
    showDrives();
    QListWidget* folders = m_ui->Dir1;
    folders->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const FolderRow& row : m_logic.folderRows()) {
        auto* item = new QListWidgetItem(row.open ? open : closed, row.name, folders);
        item->setData(PathRole, row.path);
        item->setData(DepthRole, row.depth);
        item->setToolTip(row.path);
    }
    folders->setCurrentRow(m_logic.currentFolderRow());
    folders->scrollToItem(folders->currentItem());

    m_ui->File1->clear();
    m_ui->File1->addItems(m_logic.files());
}

void FrmDlg::report(const QString& failure) {
    if (failure.isEmpty())
        return;
    if (m_options.tell)
        m_options.tell(failure);
    else
        QMessageBox::warning(this, windowTitle(), failure);
}

} // namespace tikko
