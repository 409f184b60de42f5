#include "schema/SchemaHostStorage.h"

RefPtr<CMemorySchemaStorage> CMemorySchemaStorage::Create(const GUID& guid)
{
    return RefPtr<CMemorySchemaStorage>(new CMemorySchemaStorage(guid));
}

HRESULT CMemorySchemaStorage::QueryInterface(const IID& iid, void** object)
{
    return QueryInterfaceTable({{IID_IUnknown, static_cast<IUnknown*>(this)}}, iid, object);
}

SchemaMetaRecord CMemorySchemaStorage::GetMetaRecord() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_meta;
}

void CMemorySchemaStorage::ChangeMetaRecord(const std::function<void(SchemaMetaRecord&)>& change)
{
    std::lock_guard<std::mutex> g(m_lock);
    change(m_meta);
    m_metaChanged = true;
}

StringList CMemorySchemaStorage::GetDefinitions(SchemaElementKind kind) const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_definitions[static_cast<int>(kind)];
}

void CMemorySchemaStorage::SetDefinitions(SchemaElementKind kind, const StringList& definitions, bool markChanged)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_definitions[static_cast<int>(kind)] = definitions;
    if (markChanged) m_definitionsChanged[static_cast<int>(kind)] = true;
}

bool CMemorySchemaStorage::IsDefinitionsChanged(SchemaElementKind kind) const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_definitionsChanged[static_cast<int>(kind)];
}

SchemaUsageMap CMemorySchemaStorage::GetUsageStatistics() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_usage;
}

void CMemorySchemaStorage::ChangeUsageStatistics(const std::function<void(SchemaUsageMap&)>& change)
{
    std::lock_guard<std::mutex> g(m_lock);
    change(m_usage);
    m_usageChanged = true;
}

HRESULT CMemorySchemaStorage::SaveInPlace()
{
    std::lock_guard<std::mutex> g(m_lock);
    ++m_saves;
    m_metaChanged = m_usageChanged = false;
    for (bool& changed : m_definitionsChanged) changed = false;
    return S_FALSE;
}

bool CMemorySchemaStorage::IsMetaChanged() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_metaChanged;
}

bool CMemorySchemaStorage::IsUsageChanged() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_usageChanged;
}

int CMemorySchemaStorage::GetSaveCount() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_saves;
}
