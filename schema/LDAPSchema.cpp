#include "schema/LDAPSchema.h"

#include <utility>

#include "platform/ResourceLibrary.h"

using namespace arbldap;

namespace {

// {d7a80ed4-f122-4044-b775-aff93b0e5c48}
const GUID kBuiltInSchemaGuid = {0xd7a80ed4u, 0xf122u, 0x4044u, {0xb7, 0x75, 0xaf, 0xf9, 0x3b, 0x0e, 0x5c, 0x48}};

constexpr unsigned kAttributeTypesResource = 655;
constexpr unsigned kObjectClassesResource = 654;

const char* const kServerKindNames[] = {
    "Unrecognized server",
    "UMICH server",
    "OpenLDAP 1.X directory server",
    "OpenLDAP 2.X directory server",
    "Netscape/iPlanet directory server",
    "Windows 2000 Active Directory",
    "Novell NDS",
    "Microsoft Exchange server",
    "Oracle directory server",
    "Lotus Domino server",
    "Critical Path directory server",
    "IBM SecureWay server",
    "Vellumar Internal",
};

std::mutex& StarterLock()
{
    static std::mutex lock;
    return lock;
}

CLDAPSchema::LoadJobStarter& Starter()
{
    static CLDAPSchema::LoadJobStarter starter;
    return starter;
}

template <typename Map, typename Record, typename Description>
bool Store(Map& map, std::unique_ptr<Description> parsed)
{
    if (!parsed || !parsed->oid || parsed->oid->empty()) return false;
    map[*parsed->oid] = Record(*parsed);
    return true;
}

} // namespace

// ---- CSchemaContent ----

bool CSchemaContent::AddDefinition(SchemaElementKind kind, const std::string& text)
{
    const char* t = text.c_str();
    switch (kind) {
    case SchemaElementKind::Syntax:
        return Store<SchemaSyntaxMap, SchemaSyntax>(m_syntaxes, ParseSyntaxDescription(t, nullptr, nullptr));
    case SchemaElementKind::AttributeType:
        return Store<SchemaAttributeTypeMap, SchemaAttributeType>(
            m_attributeTypes, ParseAttributeTypeDescription(t, nullptr, nullptr, kSchemaAllowAll));
    case SchemaElementKind::ObjectClass:
        return Store<SchemaObjectClassMap, SchemaObjectClass>(
            m_objectClasses, ParseObjectClassDescription(t, nullptr, nullptr, kSchemaAllowAll));
    case SchemaElementKind::MatchingRule:
        return Store<SchemaMatchingRuleMap, SchemaMatchingRule>(
            m_matchingRules, ParseMatchingRuleDescription(t, nullptr, nullptr, kSchemaAllowAll));
    case SchemaElementKind::MatchingRuleUse:
        return Store<SchemaMatchingRuleUseMap, SchemaMatchingRuleUse>(
            m_matchingRuleUses, ParseMatchingRuleUseDescription(t, nullptr, nullptr, kSchemaAllowAll));
    }
    return false;
}

size_t CSchemaContent::AddDefinitionLines(SchemaElementKind kind, const std::string& text, size_t* skipped)
{
    size_t stored = 0, refused = 0;
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a byte-order mark from an editor
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        // CR LF is one line end; a lone CR or LF is one too.
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (AddDefinition(kind, line))
            ++stored;
        else
            ++refused;
    }
    if (skipped) *skipped = refused;
    return stored;
}

size_t CSchemaContent::AddDefinitions(SchemaElementKind kind, const StringList& texts, size_t* failed)
{
    size_t stored = 0, refused = 0;
    for (const std::string& text : texts) {
        if (AddDefinition(kind, text))
            ++stored;
        else
            ++refused;
    }
    if (failed) *failed = refused;
    return stored;
}

void CSchemaContent::BuildIndices()
{
    // The catalogue is filled once; a schema built before start-up did it must still see it.
    InitSchemaTables();
    // All names first: a superior later in OID order must be found too.
    for (const auto& [oid, type] : m_attributeTypes)
        for (const std::string& name : type.GetNames()) m_attributeNames[name] = oid;
    for (auto& [oid, type] : m_attributeTypes) {
        if (const SyntaxInfo* syntax = FindSyntaxInfo(GetEffectiveSyntax(type))) {
            type.SetHumanReadable(syntax->IsHumanReadable());
            if (type.GetDescription().empty()) type.SetDescription(syntax->GetName());
        }
    }
    for (const auto& [oid, cls] : m_objectClasses)
        for (const std::string& name : cls.GetNames()) m_classNames[name] = oid;
}

const SchemaAttributeType* CSchemaContent::FindAttributeType(const std::string& name) const
{
    auto at = m_attributeNames.find(name);
    if (at == m_attributeNames.end()) return nullptr;
    auto it = m_attributeTypes.find(at->second);
    return it == m_attributeTypes.end() ? nullptr : &it->second;
}

std::string CSchemaContent::GetEffectiveSyntax(const SchemaAttributeType& type) const
{
    return FirstAlongSuperiors(type, &SchemaAttributeType::GetSyntax);
}

std::string CSchemaContent::GetEffectiveEquality(const SchemaAttributeType& type) const
{
    return FirstAlongSuperiors(type, &SchemaAttributeType::GetEquality);
}

std::string CSchemaContent::FirstAlongSuperiors(const SchemaAttributeType& type,
                                                const std::string& (SchemaAttributeType::*field)() const) const
{
    // Bounded: a server may send a chain that loops.
    constexpr int kMaxDepth = 32;
    const SchemaAttributeType* t = &type;
    for (int depth = 0; t && depth < kMaxDepth; ++depth) {
        if (!(t->*field)().empty()) return (t->*field)();
        const std::string& sup = t->GetSuperior();
        if (sup.empty()) break;
        t = FindAttributeType(sup);
        if (!t) {
            auto byOid = m_attributeTypes.find(sup);
            t = byOid == m_attributeTypes.end() ? nullptr : &byOid->second;
        }
    }
    return std::string();
}

const SchemaObjectClass* CSchemaContent::FindObjectClass(const std::string& name) const
{
    auto at = m_classNames.find(name);
    if (at == m_classNames.end()) return nullptr;
    auto it = m_objectClasses.find(at->second);
    return it == m_objectClasses.end() ? nullptr : &it->second;
}

// ---- CLDAPSchema: life ----

CLDAPSchema::CLDAPSchema(RefPtr<ISchemaHostStorage> storage)
    : m_storage(std::move(storage)), m_content(std::make_shared<const CSchemaContent>())
{
}

CLDAPSchema::~CLDAPSchema()
{
    // Carries later changes (use counts, a refresh request) into the cache file.
    if (m_storage) m_storage->SaveInPlace();
}

RefPtr<CLDAPSchema> CLDAPSchema::CreateBuiltIn()
{
    return CreateBuiltIn(platform::ResourceLibrary::Current());
}

RefPtr<CLDAPSchema> CLDAPSchema::CreateBuiltIn(const platform::ResourceLibrary& resources)
{
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(kBuiltInSchemaGuid);
    storage->ChangeMetaRecord([](SchemaMetaRecord& m) { m.serverKind = kServerVellumarInternal; });
    RefPtr<CLDAPSchema> schema(new CLDAPSchema(storage));
    schema->LoadDefaultSchema(resources);
    return schema;
}

RefPtr<CLDAPSchema> CLDAPSchema::CreateForHost(const RefPtr<ISchemaHostStorage>& storage,
                                                LDAPConnection* connection)
{
    RefPtr<CLDAPSchema> schema = CreateForHostDeferred(storage);
    // Only now: a job that ended and released its reference before the
    // creator took one would destroy the schema under the creator's feet.
    StartLoading(schema, connection);
    return schema;
}

RefPtr<CLDAPSchema> CLDAPSchema::CreateForHostDeferred(const RefPtr<ISchemaHostStorage>& storage)
{
    return RefPtr<CLDAPSchema>(new CLDAPSchema(storage));
}

void CLDAPSchema::StartLoading(const RefPtr<CLDAPSchema>& schema, LDAPConnection* connection)
{
    if (!schema || schema->m_loadStarted.exchange(true)) return;
    StartLoadJob(schema, connection);
}

void CLDAPSchema::SetLoadJobStarter(LoadJobStarter starter)
{
    std::lock_guard<std::mutex> g(StarterLock());
    Starter() = std::move(starter);
}

void CLDAPSchema::StartLoadJob(const RefPtr<CLDAPSchema>& schema, LDAPConnection* connection)
{
    LoadJobStarter starter;
    {
        std::lock_guard<std::mutex> g(StarterLock());
        starter = Starter();
    }
    if (starter) starter(schema, schema->m_storage, connection);
}

HRESULT CLDAPSchema::QueryInterface(const IID& iid, void** object)
{
    return QueryInterfaceTable({{IID_IUnknown, static_cast<IUnknown*>(this)}}, iid, object);
}

// ---- CLDAPSchema: content ----

std::shared_ptr<const CSchemaContent> CLDAPSchema::GetContent() const
{
    std::lock_guard<std::mutex> g(m_contentLock);
    return m_content;
}

std::unique_ptr<CSchemaContent> CLDAPSchema::CopyContent() const
{
    return std::make_unique<CSchemaContent>(*GetContent());
}

void CLDAPSchema::Publish(std::unique_ptr<CSchemaContent> content)
{
    Publish(std::move(content), GetLoadState());
}

void CLDAPSchema::Publish(std::unique_ptr<CSchemaContent> content, int loadState)
{
    if (!content) content = std::make_unique<CSchemaContent>();
    content->BuildIndices();
    std::shared_ptr<const CSchemaContent> published(std::move(content));
    {
        std::lock_guard<std::mutex> g(m_contentLock);
        m_content.swap(published);
        SetLoadState(loadState);
    }
    // The old content, when no reader holds it any more, goes here, outside the lock.
}

void CLDAPSchema::LoadDefaultSchema()
{
    LoadDefaultSchema(platform::ResourceLibrary::Current());
}

void CLDAPSchema::LoadDefaultSchema(const platform::ResourceLibrary& resources)
{
    std::unique_ptr<CSchemaContent> content = CopyContent();
    std::string text;
    if (resources.LoadResource("TEXT", kAttributeTypesResource, text))
        content->AddDefinitionLines(SchemaElementKind::AttributeType, text);
    text.clear();
    if (resources.LoadResource("TEXT", kObjectClassesResource, text))
        content->AddDefinitionLines(SchemaElementKind::ObjectClass, text);
    Publish(std::move(content), kSchemaLoaded);
}

// ---- CLDAPSchema: persistent side ----

SchemaMetaRecord CLDAPSchema::Meta() const
{
    return m_storage ? m_storage->GetMetaRecord() : SchemaMetaRecord();
}

int CLDAPSchema::GetServerKind() const
{
    return static_cast<int>(Meta().serverKind);
}

std::string CLDAPSchema::GetServerKindName() const
{
    return ServerKindName(GetServerKind());
}

std::string CLDAPSchema::ServerKindName(int kind)
{
    if (kind < 0 || kind > kServerVellumarInternal) kind = kServerUnrecognized;
    return kServerKindNames[kind];
}

void CLDAPSchema::MarkDirty()
{
    if (m_storage) m_storage->ChangeMetaRecord([](SchemaMetaRecord& m) { m.refreshNeeded = 1; });
}

bool CLDAPSchema::IsDirty() const
{
    return Meta().refreshNeeded != 0;
}

int64_t CLDAPSchema::GetTimestamp() const
{
    return Meta().timestamp;
}

GUID CLDAPSchema::GetHostGuid() const
{
    return m_storage ? m_storage->GetHostGuid() : GUID();
}

SchemaUsageMap CLDAPSchema::GetUsageStatistics() const
{
    return m_storage ? m_storage->GetUsageStatistics() : SchemaUsageMap();
}

void CLDAPSchema::AddClassUsage(const StringList& classes)
{
    if (!m_storage) return;
    m_storage->ChangeUsageStatistics([&](SchemaUsageMap& usage) {
        for (const std::string& name : classes) ++usage[name];
    });
}

// ---- CLDAPSchema: queries ----

bool CLDAPSchema::IsBinaryAttribute(const std::string& name) const
{
    const SyntaxInfo* syntax = GetAttributeSyntaxInfo(name);
    return syntax && !syntax->IsHumanReadable();
}

const SyntaxInfo* CLDAPSchema::GetAttributeSyntaxInfo(const std::string& name) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    const SchemaAttributeType* type = c->FindAttributeType(name);
    return type ? FindSyntaxInfo(c->GetEffectiveSyntax(*type)) : nullptr;
}

std::string CLDAPSchema::GetAttributeSyntaxName(const std::string& name) const
{
    const SyntaxInfo* syntax = GetAttributeSyntaxInfo(name);
    return syntax ? syntax->GetName() : std::string();
}

std::string CLDAPSchema::GetAttributeSyntax(const std::string& name) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    const SchemaAttributeType* type = c->FindAttributeType(name);
    return type ? c->GetEffectiveSyntax(*type) : std::string();
}

int CLDAPSchema::GetAttributeUsage(const std::string& name) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    const SchemaAttributeType* type = c->FindAttributeType(name);
    return type ? type->GetUsage() : -1;
}

bool CLDAPSchema::HasEqualityMatch(const std::string& name) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    const SchemaAttributeType* type = c->FindAttributeType(name);
    return !type || !c->GetEffectiveEquality(*type).empty();
}

bool CLDAPSchema::QueryAttributeProperty(const std::string& name, int property) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    const SchemaAttributeType* type = c->FindAttributeType(name);
    switch (property) {
    case kAttributeObsolete: return type && type->IsObsolete();
    case kAttributeSingleValue: return type && type->IsSingleValue();
    case kAttributeCollective: return type && type->IsCollective();
    case kAttributeUserModifiable: return !type || type->IsUserModifiable();
    default: return false;
    }
}

bool CLDAPSchema::IsMustAttribute(const std::string& attribute, const StringList& classes) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    StringList must;
    for (const std::string& name : classes)
        if (const SchemaObjectClass* cls = c->FindObjectClass(name)) must.Append(cls->GetMust());
    must.SortUnique();
    return must.Contains(attribute);
}

void CLDAPSchema::GetClassAttributes(const std::string& objectClass, StringList& out) const
{
    std::shared_ptr<const CSchemaContent> c = GetContent();
    if (const SchemaObjectClass* cls = c->FindObjectClass(objectClass)) {
        out.Append(cls->GetMust());
        out.Append(cls->GetMay());
    }
}

void CLDAPSchema::GetAttributesOfClasses(const StringList& classes, StringList& out) const
{
    out.Clear();
    for (const std::string& name : classes) GetClassAttributes(name, out);
    out.SortUnique();
}
