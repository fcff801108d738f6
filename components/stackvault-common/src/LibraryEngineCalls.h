// The calls both library engines answer alike, written once: tags, discs,
// labels, path rows, disc edits and the import's status. Each checks its
// arguments, takes the engine's lock, makes sure the library is open and
// hands the work to the engine's store of that name (m_tags, m_discs,
// m_labels), changes inside the engine's write transaction (Write). The
// engines differ in their stores, not in these rules.
//
// `Engine` derives from this class and names it a friend; it provides
//   m_mutex, Ready(), Write(work), m_tags, m_discs, m_labels, m_addedDiscs,
//   m_writeFailure, StorePaths(handle, batch, hasIds), kComponent (its name
//   in the log), and the import slot's wait: m_waitMutex, m_waitChanged,
//   m_waiting, m_waitCancelled, m_slotHolder.
#pragma once
#include "BatchParser.h"
#include "Diagnostics.h"
#include "DiscEditRules.h"
#include "ILibraryDiscEdits.h"
#include "ILibraryDiscTags.h"
#include "ILibraryEngine.h"
#include "ILibraryEngineStatus.h"
#include "NewDiscArguments.h"
#include "ParsedBatch.h"
#include "ProcessOwner.h"
#include "Utf16Text.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <mutex>

template <class Engine>
class LibraryEngineCalls : public ILibraryEngine,
                           public ILibraryEngineStatus,
                           public ILibraryDiscEdits,
                           public ILibraryDiscTags {
public:
    // ---- tags ----
    HRESULT GetTagCount(LONG* count) override
    {
        if (!count) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_tags.Count(count); });
    }
    HRESULT GetTags(TagRecord* records, LONG count) override
    {
        if (!records && count > 0) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_tags.List(records, count); });
    }
    HRESULT AddTag(const char16_t* name, LONG* id) override
    {
        if (!name) return E_POINTER;
        return Writing([&](Engine& e) { return e.m_tags.Add(Utf16Text::View(name), id); });
    }
    HRESULT SetTagVisible(const char16_t* name, LONG visible) override
    {
        if (!name) return E_POINTER;
        return Writing([&](Engine& e) { return e.m_tags.SetVisible(Utf16Text::View(name), visible != 0); });
    }
    // A null id list is an empty one (a disc without tags).
    HRESULT GetTagNames(const char16_t* tagIds, char16_t* tagNames) override
    {
        if (!tagNames) return E_POINTER;
        return Reading([&](Engine& e) {
            QString names;
            const HRESULT hr = e.m_tags.Names(Text(tagIds), names);
            if (SUCCEEDED(hr)) Utf16Text::CopyToField(tagNames, kLibraryTextLength, names);
            return hr;
        });
    }
    HRESULT FindTag(LONG* id, LONG* visible, const char16_t* name) override
    {
        if (!id || !visible || !name) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_tags.Find(Utf16Text::View(name), id, visible); });
    }

    // ---- discs ----
    HRESULT GetDiscCount(LONG* count) override
    {
        if (!count) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_discs.Count(count); });
    }
    HRESULT GetDiscs(DiscRecord* records, LONG count) override
    {
        if (!records && count > 0) return E_POINTER;
        return Reading([&](Engine& e) {
            QHash<int, QString> tagNames;
            const HRESULT hr = e.m_tags.VisibleNames(tagNames);
            return FAILED(hr) ? hr : e.m_discs.List(records, count, tagNames);
        });
    }
    HRESULT SetDiscLabelId(LONG discId, LONG labelId) override
    {
        return Writing([&](Engine& e) { return e.m_discs.SetLabelId(discId, labelId); });
    }
    HRESULT GetDiscIdentity(LONG discId, char* identity) override
    {
        if (!identity) return E_POINTER;
        return Reading([&](Engine& e) {
            QByteArray text;
            const HRESULT hr = e.m_discs.Identity(discId, text);
            if (SUCCEEDED(hr)) Utf16Text::CopyToField(identity, NewDiscArguments::kIdentityCapacity, text);
            return hr;
        });
    }
    HRESULT FindDiscByIdentity(const char* identity, LONG* discId) override
    {
        if (!identity || !discId) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_discs.FindByIdentity(QByteArray(identity), discId); });
    }

    // ---- disc edits and a disc's tags ----
    HRESULT SetDiscName(LONG discId, const char16_t* name) override
    {
        const HRESULT hr = DiscEditRules::CheckName(name);
        if (FAILED(hr)) return hr;
        return Writing([&](Engine& e) { return e.m_discs.SetName(discId, Text(name)); });
    }
    HRESULT GetDiscImporting(LONG discId, LONG* importing) override
    {
        if (!importing) return E_POINTER;
        *importing = 0;
        return Reading([&](Engine& e) { return e.m_discs.IsImporting(discId, importing); });
    }
    HRESULT GetDiscTagIds(LONG discId, char16_t* tagIds, LONG capacity, LONG* length) override
    {
        const HRESULT hr = DiscEditRules::CheckBuffer(tagIds, capacity, length);
        if (FAILED(hr)) return hr;
        return Reading([&](Engine& e) {
            QString text;
            const HRESULT read = e.m_discs.TagIds(discId, text);
            return FAILED(read) ? read : DiscEditRules::CopyWhole(text, tagIds, capacity, length);
        });
    }

    // ---- labels ----
    HRESULT GetLabelCount(LONG* count) override
    {
        if (!count) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_labels.Count(count); });
    }
    HRESULT AddLabel(const char16_t* path32, const char16_t* path128, const char16_t* path360) override
    {
        if (!path32 || !path128 || !path360) return E_POINTER;
        return Writing([&](Engine& e) {
            LONG id = 0;
            return e.m_labels.Add(Text(path32), Text(path128), Text(path360), &id);
        });
    }
    HRESULT GetLabelThumbnail(LONG labelId, QImage** bitmap) override { return LabelPicture(labelId, 32, bitmap); }
    HRESULT GetLabelImage(LONG labelId, QImage** bitmap) override { return LabelPicture(labelId, 360, bitmap); }
    HRESULT GetLastLabelId(LONG* id) override
    {
        if (!id) return E_POINTER;
        return Reading([&](Engine& e) { return e.m_labels.LastId(id); });
    }
    HRESULT DeleteLabel(LONG labelId, LONG) override
    {
        return Writing([&](Engine& e) { return e.m_labels.Delete(labelId); });
    }

    // ---- path rows of an import ----
    HRESULT InsertPathRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) override
    {
        if (!batch) return E_POINTER;
        if (hasIds != 0 && hasIds != 1) return E_INVALIDARG;
        ParsedBatch parsed;
        BatchParser parser(Utf16Text::View(batch));
        if (!parser.ParsePaths(hasIds == 1, parsed)) {
            DumpMsg(Engine::kComponent, "path batch refused: %s", parser.Error().c_str());
            return E_INVALIDARG;
        }
        return Self().StorePaths(handle, parsed, hasIds == 1);
    }
    HRESULT AddPath(LibraryImportHandle handle, LONG pathId, const char16_t* pathText) override
    {
        if (!pathText) return E_POINTER;
        if (pathId < 1 || !Utf16Text::IsWellFormed(Utf16Text::View(pathText))) return E_INVALIDARG;
        ParsedBatch single;
        single.texts = Utf16Text::View(pathText);
        single.paths.push_back({pathId, {0, static_cast<uint32_t>(single.texts.size())}});
        return Self().StorePaths(handle, single, true);
    }

    // ---- the import's status ----
    HRESULT GetImportWait(ImportSlotHolder* holder) override
    {
        if (!holder) return E_POINTER;
        Engine& e = Self();
        std::lock_guard<std::mutex> wait(e.m_waitMutex);
        if (!e.m_waiting || e.m_slotHolder.isEmpty()) return S_FALSE;
        holder->processId = static_cast<int32_t>(ProcessOwner::ProcessId(e.m_slotHolder));
        Utf16Text::CopyToField(holder->program, kLibraryTextLength, ProcessOwner::Program(e.m_slotHolder));
        return S_OK;
    }
    HRESULT SetImportCancel(LONG cancel) override
    {
        Engine& e = Self();
        std::lock_guard<std::mutex> wait(e.m_waitMutex);
        if (e.m_waiting && cancel) {
            e.m_waitCancelled = true;
            e.m_waitChanged.notify_all();
        }
        return S_OK;
    }
    HRESULT GetWriteFailure(HRESULT* reason) override
    {
        if (!reason) return E_POINTER;
        Engine& e = Self();
        std::lock_guard<std::mutex> lock(e.m_mutex);
        const HRESULT hr = e.Ready();
        *reason = e.m_writeFailure;
        return hr;
    }

protected:
    // Lets go of the discs this instance added (each in a write of its own).
    void ReleaseAddedDiscs()
    {
        Engine& e = Self();
        for (LONG discId : e.m_addedDiscs) e.Write([&] { return e.m_discs.Release(discId); });
        e.m_addedDiscs.clear();
    }

private:
    Engine& Self() { return static_cast<Engine&>(*this); }
    static QString Text(const char16_t* text) { return Utf16Text::ToQString(Utf16Text::View(text)); }

    // `read(engine)` under the lock, once the library is open.
    template <class Read>
    HRESULT Reading(Read read)
    {
        Engine& e = Self();
        std::lock_guard<std::mutex> lock(e.m_mutex);
        const HRESULT hr = e.Ready();
        return FAILED(hr) ? hr : read(e);
    }
    // `change(engine)` under the lock, in one write transaction, once the library is open.
    template <class Change>
    HRESULT Writing(Change change)
    {
        return Reading([&](Engine& e) { return e.Write([&] { return change(e); }); });
    }
    HRESULT LabelPicture(LONG labelId, int size, QImage** bitmap)
    {
        if (!bitmap) return E_POINTER;
        *bitmap = nullptr;
        return Reading([&](Engine& e) { return e.m_labels.Picture(labelId, size, bitmap); });
    }
};
