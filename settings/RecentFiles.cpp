// The recent-file list, loaded at start-up and written back at exit.
#include "settings/ProfileStore.h"

#include <algorithm>

std::wstring CRecentFileList::EntryName(int index) {
    return L"File" + std::to_wstring(index + 1);
}

void CRecentFileList::Load(const ProfileStore& store) {
    m_bLoaded = true;
    for (int i = 0; i < kMaxEntries; ++i) {
        if (store.ReadString(kSection, EntryName(i).c_str(), m_entries[i]) ==
            ProfileStore::Read::Failed)
            m_bLoaded = false;
    }
}

void CRecentFileList::Save(const ProfileStore& store) const {
    if (!m_bLoaded)
        return;
    for (int i = 0; i < kMaxEntries; ++i) {
        const std::wstring& path = m_entries[i];
        store.WriteProfileString(kSection, EntryName(i).c_str(),
                                 path.empty() ? nullptr : path.c_str());
    }
}

void CRecentFileList::Add(const std::wstring& path) {
    if (path.empty())
        return;
    // Paths differ in case only on the same file.
    auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const std::wstring& entry) {
        return CompareStringOrdinal(entry.c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL;
    });
    if (same == m_entries.end())
        same = m_entries.end() - 1;
    std::rotate(m_entries.begin(), same, same + 1);
    m_entries.front() = path;
}
