#include "forms/fmEditor.h"

#include "docs/RecoveryStore.h"
#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/TabStrip.h"
#include "util/UserDirs.h"

#include <QTimer>

namespace {

// A copy is written once editing has paused this long...
constexpr int kPauseMs = 2000;
// ...or, while typing goes on without a pause, once the first unwritten change is this old.
constexpr qint64 kLongestWaitMs = 10000;

} // namespace

void TfrmEditor::ScheduleRecoveryCopies()
{
    if (!m_recoveryTimer->isActive())
        m_recoveryPendingSince.start();
    if (m_recoveryPendingSince.elapsed() < kLongestWaitMs)
        m_recoveryTimer->start(kPauseMs);
}

void TfrmEditor::UpdateRecoveryCopies()
{
    m_recoveryTimer->stop();
    if (!DocumentList)
        return;
    QList<RecoveryEntry> entries;
    for (int i = 0; i < DocumentList->Count(); ++i) {
        THTMLInfo &record = *DocumentList->Items(i);
        if (record.Saved)
            continue;
        if (record.RecoveryId == 0) {
            record.RecoveryId = ++m_lastRecoveryId;
            record.CopyStale = true;
        }
        // The absolute path: the next run may start in another working directory.
        RecoveryEntry entry {record.RecoveryId, record.DiskPath, record.FileName, record.DiskStamp,
                             std::nullopt};
        // A snapshot of the bytes; the writing is done away from the window's thread.
        if (record.CopyStale)
            entry.bytes = record.Text.document()->linesText();
        record.CopyStale = false;
        entries.append(std::move(entry));
    }
    m_recovery->write(std::move(entries));
}

void TfrmEditor::WriteRecoveryCopiesNow()
{
    UpdateRecoveryCopies();
    m_recovery->wait();
}

void TfrmEditor::DiscardRecoveryCopies()
{
    m_recoveryTimer->stop();
    m_recovery->clear();
    m_recovery->wait();
}

void TfrmEditor::OfferRecovery()
{
    guard.run([this] { RestoreUnsavedDocuments(); });
}

int TfrmEditor::RestoredDocumentPlace(const QString &path)
{
    // An unchanged tab gives way, as it does to an opened file: the same file, given again on
    // the command line, or else the start-up's untouched Untitled.
    for (int i = 0; i < DocumentList->Count() && !path.isEmpty(); ++i) {
        const THTMLInfo &open = *DocumentList->Items(i);
        if (open.Saved && open.DiskPath == path)
            return i;
    }
    const int current = tabFileList->tabIndex();
    const THTMLInfo &shown = *DocumentList->Items(current);
    return DocumentList->Count() == 1 && shown.FullPath.isEmpty() && shown.Saved ? current : -1;
}

void TfrmEditor::RestoreUnsavedDocuments()
{
    const QList<RecoveryEntry> found = m_recovery->takeOrphans();
    if (found.isEmpty()) {
        m_recovery->releaseOrphans(true);
        return;
    }
    const QString question = QStringLiteral("%1 documents were not saved when the editor last "
                                            "stopped unexpectedly.\nRestore them?")
                                 .arg(found.size());
    const ModalResult answer = m_dialogs.messageDlg(question, TMsgDlgType::mtConfirmation,
                                                    mbYes | mbNo, 0);
    if (answer == mrYes) {
        for (const RecoveryEntry &entry : found) {
            bool allowChange = true;
            tabFileListChanging(allowChange);
            int place = RestoredDocumentPlace(entry.path);
            const bool reuse = place >= 0;
            const DocumentRef record = reuse ? DocumentList->Items(place)
                                             : std::make_shared<THTMLInfo>();
            record->SetFullPath(entry.path);
            if (entry.path.isEmpty()) {
                record->FileName = QStringLiteral("Untitled");
                record->Directory = UntitledDirectory();
            }
            // A save still asks when the file changed after the stopped run read it.
            record->DiskStamp = entry.stamp;
            record->Text.reset(
                mmoEditor->createDocument(entry.bytes.value_or(QByteArray()), entry.path));
            record->Saved = false;
            record->CopyStale = true;
            if (!reuse) {
                DocumentList->Add(record);
                tabFileList->add(TabCaption(*record));
                place = tabFileList->count() - 1;
            }
            tabFileList->setTabIndex(place);
            tabFileListChange();
        }
        // The texts are in this run's copies before the stopped run's go.
        WriteRecoveryCopiesNow();
    }
    // A box closed without an answer leaves the copies for the next start.
    m_recovery->releaseOrphans(answer != mrCancel);
}
