// SPDX-License-Identifier: MIT
#include "tikko/shell/secondary_windows.h"

#include "ui_frmRL.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaMethod>

namespace tikko {

QPoint placeBeside(const QRect& mainFrame, QPoint offset, const QSize& frameSize,
                   const QRect& available) {
    QPoint corner = mainFrame.topLeft() + offset;
    // The right and bottom edges first, so that a window larger than the area keeps its
    // top left corner (and its caption) on the screen.
    corner.setX(std::min(corner.x(), available.right() + 1 - frameSize.width()));
    corner.setY(std::min(corner.y(), available.bottom() + 1 - frameSize.height()));
    corner.setX(std::max(corner.x(), available.left()));
    corner.setY(std::max(corner.y(), available.top()));
    return corner;
}

const QString KalendoLibrary::FileName = QStringLiteral(TIKKO_KALENDO_FILE);

KalendoLibrary::KalendoLibrary(QStringList folders)
    : m_folders(std::move(folders)) {}

QStringList KalendoLibrary::standardFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    QStringList folders{
        program, QDir::cleanPath(QDir(program).filePath(QStringLiteral(TIKKO_KALENDO_FROM_BIN))),
        QStringLiteral(TIKKO_KALENDO_INSTALLED_DIR)};
    folders.removeDuplicates();
    return folders;
}

bool KalendoLibrary::load() {
    if (m_create)
        return true;
    for (const QString& folder : m_folders) {
        const QString path = QDir(folder).filePath(FileName);
        if (!QFileInfo::exists(path))
            continue;
        m_library.setFileName(path);
        if (!m_library.load()) {
            m_error = QStringLiteral("无法加载日历控件 %1：%2").arg(path, m_library.errorString());
            return false;
        }
        m_create = reinterpret_cast<Factory>(m_library.resolve("kalendo_create"));
        if (!m_create) {
            m_error = QStringLiteral("日历控件 %1 中没有 kalendo_create").arg(path);
            m_library.unload();
            return false;
        }
        return true;
    }
    QStringList shown;
    for (const QString& folder : m_folders)
        shown << QDir::toNativeSeparators(folder);
    m_error = QStringLiteral("找不到日历控件 %1，已查找：%2")
                  .arg(FileName, shown.join(QStringLiteral("、")));
    return false;
}

QWidget* KalendoLibrary::createControl(QWidget* parent) {
    if (!load())
        return nullptr;
    QWidget* control = m_create(parent);
    if (!control)
        m_error = QStringLiteral("日历控件 %1 无法创建").arg(FileName);
    return control;
}

FrmRL::FrmRL(QWidget* control, QWidget* parent, CalendarHooks hooks)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
    , m_ui(std::make_unique<Ui::frmRL>())
    , m_control(control)
    , m_hooks(std::move(hooks)) {
    m_ui->setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_control->setParent(this);
    m_control->setObjectName(QStringLiteral("Kalendo1"));
    m_control->move(twips(30), twips(75));
    m_control->show();

    // By name: the library is loaded at run time, so its class is known only to Qt.
    const QMetaObject* theirs = m_control->metaObject();
    const QMetaObject* ours = metaObject();
    const auto link = [&](const char* signal, const char* slot) {
        const int from = theirs->indexOfSignal(signal);
        const int to = ours->indexOfSlot(slot);
        if (from >= 0 && to >= 0)
            connect(m_control, theirs->method(from), this, ours->method(to));
    };
    link("currentPageChanged(int,int)", "markMonth(int,int)");
    link("activated(QDate)", "chooseDay(QDate)");
    int year = 0, month = 0;
    if (QMetaObject::invokeMethod(m_control, "shownYear", Q_RETURN_ARG(int, year)) &&
        QMetaObject::invokeMethod(m_control, "shownMonth", Q_RETURN_ARG(int, month)))
        markMonth(year, month);
}

void FrmRL::markMonth(int year, int month) {
    if (!m_hooks.alarmDays || month < 1 || month > 12)
        return;
    QMetaObject::invokeMethod(m_control, "setMarkedDays",
                              Q_ARG(QList<QDate>, m_hooks.alarmDays(year, month)));
}

void FrmRL::chooseDay(QDate day) {
    if (!m_hooks.dayChosen)
        return;
    m_hooks.dayChosen(day);
    reject();
}

FrmRL::~FrmRL() = default;

} // namespace tikko
