#include "app/StartupSequence.h"

#include "app/AppContext.h"
#include "app/ConfigurationLoader.h"
#include "app/MessageFile.h"
#include "app/StartupView.h"
#include "base/UserDialogs.h"
#include "base/Version.h"
#include "base/WinErrorText.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterDetection.h"
#include "platform/FileSystem.h"
#include "platform/OsVersionQuery.h"
#include "platform/ProcessPriority.h"
#include "platform/WindowFinder.h"
#include "pos/CashVoucher.h"
#include "pos/PrintPendingRecord.h"
#include "pos/ReceiptPrint.h"
#include "pos/TillIdentity.h"
#include "stock/PointOfSaleKeys.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

std::string native(const QString &path)
{
    return path.toStdString();
}

const QString TillTakenCaption = u"Program Omira"_s;
const QString TillTaken =
    u"Pokladňa číslo %1 už pracuje s priečinkom údajov\r\n%2\r\n(počítač %3, proces %4).\r\n\r\n"
    "Pokladne, ktoré zdieľajú priečinok údajov, musia mať rôzne čísla: nastavte kľúč %5 v sekcii "
    "[%6] súboru\r\n%7.\r\n"
    "Ak tá pokladňa už nepracuje, zmažte súbor\r\n%8\r\n\r\nProgram sa teraz ukončí."_s;

} // namespace

StartupSequence::StartupSequence(AppContext &context, StartupView &view, Services services)
    : m_context(context), m_view(view), m_services(services)
{}

StartupSequence::Outcome StartupSequence::run(const QStringList &arguments)
{
    showVersionAndOs();
    loadConfiguration(arguments);
    CheckFileAccess(m_context.config.configPath);
    loadMessages();
    if (!takeTillLock())
        return Outcome::EndProgram;
    testConfiguredFiles();
    removeLeftOverExchangeFiles();
    m_services.link.wait_ms(m_context.config.startupDelay);
    if (!printManagerChecksPass())
        return Outcome::EndProgram;
    detectPrinter();
    removeLeftOverInputFile();
    return Outcome::Continue;
}

void StartupSequence::showVersionAndOs()
{
    m_context.versionText = QString::fromUtf16(kVersionText);
    m_view.setStatusPanel(0, m_context.versionText);
    const platform::OsVersion os = m_services.osVersion.query();
    m_context.osMajor = os.majorVersion;
    m_context.osText = QString::fromStdString(platform::composeOsText(os));
    m_view.setStatusPanel(3, m_context.osText);
    m_view.setStatusHint(m_context.osText);
}

void StartupSequence::loadConfiguration(const QStringList &arguments)
{
    m_context.commandLine = CommandLine::parse(arguments);
    m_context.config =
        LoadConfiguration(m_context.programFolder, m_context.commandLine, [this](int priorityClass) {
            m_services.priority.setPriorityClass(static_cast<unsigned>(priorityClass));
        });
    m_context.errorLog = std::make_unique<ErrorLog>(m_context.config.errorLogPath,
                                                    m_context.config.errorLogOn, m_context.dialogs);
}

void StartupSequence::loadMessages()
{
    loadMessageFile(m_context.messages, m_context.config.messageFile(), m_context.dialogs);
    m_view.setTrayHint(m_context.messages.text(Msg::TrayHint));
}

bool StartupSequence::takeTillLock()
{
    const Configuration &config = m_context.config;
    // The sale screen creates a missing data folder the same way, one level only.
    const QString folder = config.dataFolder;
    if (!folder.isEmpty() && !QDir(folder).exists())
        QDir().mkdir(folder);
    auto lock = std::make_unique<TillLock>(folder, config.tillNumber);
    switch (lock->take()) {
    case TillLock::Result::Taken:
        m_context.tillLock = std::move(lock);
        return true;
    case TillLock::Result::Failed:
        // A folder that cannot be written is reported where it is used; it does not stop
        // the start.
        m_context.errorLog->WriteErrLog(u"The till lock %1 could not be taken: %2"_s.arg(
            QDir::toNativeSeparators(lock->path()), lock->errorText()));
        return true;
    case TillLock::Result::HeldByAnother:
        break;
    }
    const std::optional<TillLock::Owner> owner = lock->owner();
    const ProfileKey key = PointOfSaleKeys::key(PointOfSaleKey::TillNumber);
    UserDialogs::Message box;
    box.text = TillTaken.arg(QString::number(config.tillNumber), QDir::toNativeSeparators(folder),
                             owner ? owner->host : u"?"_s, owner ? QString::number(owner->pid) : u"?"_s,
                             key.name, key.section,
                             QDir::toNativeSeparators(PointOfSaleKeys::filePath(m_context.programFolder)),
                             QDir::toNativeSeparators(lock->path()));
    box.caption = TillTakenCaption;
    box.icon = UserDialogs::Icon::Error;
    m_context.dialogs.show(box);
    m_context.errorLog->WriteErrLog(u"Till %1 already runs on the data folder"_s.arg(config.tillNumber));
    return false;
}

void StartupSequence::CheckFileAccess(const QString &path)
{
    if (!m_context.config.accessTests || path.isEmpty())
        return;
    const platform::AccessProbe probe =
        m_context.files.probeAccess(native(path), platform::AccessMode::Write);
    if (!probe.ok()) {
        UserDialogs::Message box;
        box.text = path + u"\r\n\n"_s + WinErrorText(probe.error);
        box.caption = m_context.messages.text(Msg::AccessTestCaption);
        box.icon = UserDialogs::Icon::None;
        box.topMost = false;
        m_context.dialogs.show(box);
        return;
    }
    // The test creates a missing file; an empty one is not left behind.
    if (probe.length == 0)
        m_services.link.remove_file(path);
}

void StartupSequence::testConfiguredFiles()
{
    const Configuration &config = m_context.config;
    if (!config.skipInputAccessTest)
        CheckFileAccess(config.inputFile);
    CheckFileAccess(config.outputFile);
    CheckFileAccess(joinPath(config.infoFolder, u"info.txt"_s));
    CheckFileAccess(config.debugPath);
    CheckFileAccess(config.errorLogPath);
}

void StartupSequence::removeLeftOverExchangeFiles()
{
    const QString terminate = joinPath(m_context.programFolder, u"terminate"_s);
    if (m_context.files.fileExists(native(terminate)))
        m_services.link.remove_file(terminate);
    const QString input = m_context.config.printManagerInput;
    if (m_context.files.fileExists(native(input)))
        removeInputFile(input);
}

// Deletes a file left on the print manager's input. A receipt of this till that is still
// there was never taken, so it was never printed: its note is settled now, while that is
// known, and not later by a printer whose number another document may have raised.
void StartupSequence::removeInputFile(const QString &path)
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    // Only this deletion proves that the print manager did not take the file first.
    if (!m_context.files.deleteFile(native(path)).ok())
        return;
    const Configuration &config = m_context.config;
    PrintPendingRecord note(config.dataFolder, TillIdentity::of(config));
    const QString documentFile =
        joinPath(m_context.programFolder, QString::fromLatin1(ReceiptPrint::DocumentFileName));
    const std::optional<PrintPendingRecord::Entry> settled = note.settleRemovedUntaken(bytes, documentFile);
    if (!settled)
        return;
    if (!settled->isVoucher()) {
        m_context.errorLog->WriteErrLog(
            u"The receipt left on the print manager's input was never taken; its items stay open"_s);
        return;
    }
    // Nothing on the screen shows a voucher that did not come out: the cashier is told.
    const QString voucher = CashVoucher::describe(settled->kind == PrintPendingRecord::Kind::Deposit
                                                      ? CashVoucher::Mode::Deposit
                                                      : CashVoucher::Mode::Withdrawal,
                                                  double(settled->amountCents) / 100.0);
    m_context.errorLog->WriteErrLog(u"The voucher left on the print manager's input was never taken: "_s +
                                    voucher);
    m_context.dialogs.inform(u"%1 zostal na vstupe tlačového manažéra nevytlačený a bol odstránený.\r\n"
                             "Ak je doklad potrebný, vytlačte ho znovu."_s.arg(voucher),
                             u"Omira"_s);
}

bool StartupSequence::printManagerChecksPass()
{
    if (m_context.windows.windowExists("POKLTM")) {
        UserDialogs::Message box;
        box.text = m_context.messages.text(Msg::OtherPosRunning);
        box.caption = m_context.messages.text(Msg::OtherPosRunningCaption);
        box.icon = UserDialogs::Icon::None;
        box.topMost = false;
        box.ownedByMainWindow = true;
        m_context.dialogs.show(box);
        return false;
    }
    if (m_services.link.tm_present())
        return true;
    UserDialogs::Message question;
    question.text =
        u"Nepodarilo sa zdetekovat Tlačový manažér.\r\nBez spustenia tohoto programu nie je možná "
        u"tlač dokladov.\r\nPokračovať v spusteni pokladne?"_s;
    question.caption = m_context.config.printManagerTitle;
    question.buttons = UserDialogs::Buttons::YesNo;
    question.defaultAnswer = UserDialogs::Answer::No;
    question.ownedByMainWindow = true;
    return m_context.dialogs.show(question) == UserDialogs::Answer::Yes;
}

void StartupSequence::detectPrinter()
{
    for (;;) {
        m_services.printer.detect_fm();
        if (m_services.printer.online_sts() != 0) {
            m_services.printer.read_info_reply(m_context.config.infoTimeout);
            if (!m_context.config.demo)
                m_view.enableTimer();
            m_view.SetTrayImage(0);
            return;
        }
        UserDialogs::Message question;
        question.text = m_context.messages.text(Msg::PrinterNotFoundRetry);
        question.caption = m_context.messages.text(Msg::PrinterNotFoundCaption);
        question.buttons = UserDialogs::Buttons::YesNo;
        question.defaultAnswer = UserDialogs::Answer::Yes;
        if (m_context.dialogs.show(question) != UserDialogs::Answer::Yes) {
            m_view.setStatusPanel(3, m_context.messages.text(Msg::PrinterNotAnswering));
            return;
        }
    }
}

void StartupSequence::removeLeftOverInputFile()
{
    const QString input = m_context.config.inputFile;
    if (m_context.files.fileExists(native(input))) {
        m_context.errorLog->WriteErrLog(u"Files found during start-up"_s);
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly))
            return;
    }
    m_context.files.clearAttributes(native(input));
    if (m_context.files.fileExists(native(input)))
        removeInputFile(input);
    if (!deleteWithinLimit(input))
        m_context.errorLog->WriteErrLog(u"Could not delete the input file %1 during start-up"_s.arg(input));
    m_context.errorLog->WriteErrLog(u"Deleted files during start-up"_s);
}

// A file that can never be deleted (held open by another program, no rights)
// must not keep the program from starting: give up after a few seconds.
bool StartupSequence::deleteWithinLimit(const QString &path)
{
    for (int waited = 0; m_context.files.fileExists(native(path)); waited += 5) {
        if (waited >= DeletionLimitMs)
            return false;
        m_services.link.remove_file(path);
        if (m_context.files.fileExists(native(path)))
            m_services.link.wait_ms(5);
    }
    return true;
}
