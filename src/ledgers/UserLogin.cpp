#include "ledgers/UserLogin.h"

#include "ledgers/AutoBackup.h"
#include "ledgers/LedgerBackup.h"
#include "ledgers/Rights.h"
#include "platform/DesktopOpener.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

bool LogInUser(const QString &userName, const QString &password)
{
    Query query;
    if (!RunQuery(query, Sql("Select * From Power Where PowerName = ") + Sql::value(userName),
            Texts::DatabaseOpenFailed))
        return false;
    if (query.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("数据库中找不到当前用户"));
        return false;
    }
    if (query.text(QStringLiteral("PowerKey")) != password) {
        Platform::ShowMessage(QStringLiteral("密码错误，请重新操作"));
        return false;
    }
    WriteSetting(Settings::UserName, userName);
    // Every run passes here once: the time to clear what an interrupted run left behind.
    Ledgers::RemoveInterruptedCopies();
    SessionValues &session = Session();
    session.CurrentUser = userName;
    ApplyRights(session, ParseRights(query.text(QStringLiteral("PowerRange"))));
    Ledgers::ScheduleAutomaticBackup();
    return true;
}

QString NoticePagePath(const QString &programDir)
{
    const QString fresh = programDir + QStringLiteral("NoticeNew.html");
    return Platform::FileExists(fresh) ? fresh : programDir + QStringLiteral("Notice.html");
}

QString HelpPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("Help.html");
}

QString HelpOpenFailedText(const QString &page, HelpOpenFailure failure)
{
    const QString opener = QString::fromLatin1(Platform::DesktopOpener);
    QString reason;
    switch (failure) {
    case HelpOpenFailure::PageMissing:
        reason = QStringLiteral("找不到文件 %1。").arg(page);
        break;
    case HelpOpenFailure::NoDesktopOpener:
        reason = QStringLiteral(
            "%1，系统中没有 %2，桌面无法打开网页。请安装 xdg-utils，或用浏览器直接打开这个文件。")
                     .arg(page, opener);
        break;
    case HelpOpenFailure::NotOpened:
        reason = QStringLiteral("%1，%2 没有打开它。请用浏览器直接打开这个文件。").arg(page, opener);
        break;
    }
    return QStringLiteral("无法打开使用说明：") + reason;
}
