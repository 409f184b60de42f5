#include "schema/SchemaLoadThread.h"

#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

#include "ldap/LDAPException.h"
#include "base/Utf8.h"
#include "base/NoCase.h"
#include "platform/StringResource.h"
#include "platform/RegistryKey.h"
#include "base/LogStream.h"
#include "ldap/FormatLDAPError.h"

using namespace arbldap;

namespace {

// The root DSE reads' filter, as the shell's all-entries filter has it.
const char* const kAllEntriesFilter = "(objectclass=*)";
const char* const kSubschemaFilter = "(objectClass=subschema)";
const wchar_t* const kDefaultSchemaKey = L"Software\\Vellumar\\Arbolite\\DefaultSchema\\";

constexpr int kTimeLimitSeconds = 600;

constexpr unsigned kFetchingSchemaString = 424;
constexpr unsigned kSchemaUnchangedString = 425;
constexpr unsigned kRootDSEUnreadableString = 427;
constexpr unsigned kReadString = 429;
constexpr unsigned kFailedString = 431;
constexpr unsigned kDuplicatesString = 603;

constexpr int kNoSuchObject = 32;
constexpr int kPartialResults = 9;

// The subschema attribute of each kind, in the order the job fetches them.
struct KindInfo {
    SchemaElementKind kind;
    const char* attribute;
};
const KindInfo kFetchOrder[] = {
    {SchemaElementKind::AttributeType, "attributeTypes"},
    {SchemaElementKind::ObjectClass, "objectClasses"},
    {SchemaElementKind::MatchingRule, "matchingRules"},
    {SchemaElementKind::MatchingRuleUse, "matchingRuleUse"},
    {SchemaElementKind::Syntax, "ldapSyntaxes"},
};

// Syntaxes first: the attribute types' descriptions may come from them.
struct SummaryInfo {
    SchemaElementKind kind;
    const char* header;
};
const SummaryInfo kPopulateOrder[] = {
    {SchemaElementKind::Syntax, "   LDAP Syntaxes:"},
    {SchemaElementKind::AttributeType, "   AttributeTypes:"},
    {SchemaElementKind::ObjectClass, "   LDAPObjectClasses:"},
    {SchemaElementKind::MatchingRule, "   MatchingRules:"},
    {SchemaElementKind::MatchingRuleUse, "   MatchingRulesUse:"},
};

std::mutex& RefreshLock()
{
    static std::mutex lock;
    return lock;
}

std::function<void()>& RefreshHook()
{
    static std::function<void()> hook;
    return hook;
}

bool EqualNoCase(const std::string& a, const char* b)
{
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) return false;
    return i == a.size() && !b[i];
}

bool HasValueNoCase(const StringList& values, const char* wanted)
{
    for (const std::string& v : values)
        if (EqualNoCase(v, wanted)) return true;
    return false;
}

size_t ElementCount(const CSchemaContent& content, SchemaElementKind kind)
{
    switch (kind) {
    case SchemaElementKind::Syntax: return content.GetSyntaxes().size();
    case SchemaElementKind::AttributeType: return content.GetAttributeTypes().size();
    case SchemaElementKind::ObjectClass: return content.GetObjectClasses().size();
    case SchemaElementKind::MatchingRule: return content.GetMatchingRules().size();
    case SchemaElementKind::MatchingRuleUse: return content.GetMatchingRuleUses().size();
    }
    return 0;
}

// A resource text as one log line; nothing when the text is missing.
void LogString(unsigned id)
{
    std::string text;
    if (LoadStringResource(id, text)) LogLine(text);
}

std::string ResourceText(unsigned id)
{
    std::string text;
    LoadStringResource(id, text);
    return text;
}

StringList Names(std::initializer_list<const char*> names)
{
    StringList list;
    for (const char* n : names) list.Add(n);
    return list;
}

} // namespace

CSchemaLoadThread::CSchemaLoadThread(LDAPConnection* connection, RefPtr<CLDAPSchema> schema,
                                     RefPtr<ISchemaHostStorage> storage)
    : m_schema(std::move(schema)), m_storage(std::move(storage))
{
    m_options.SetTimeLimit(kTimeLimitSeconds);
    m_options.SetChaseReferrals(false);
    SetConnection(LDAPConnectionPtr(connection));
    SetOptions(&m_options);
}

// The references go with the members; the connection with the base.
CSchemaLoadThread::~CSchemaLoadThread() = default;

void CSchemaLoadThread::DoWork()
{
    if (!m_schema || !m_storage) return;
    m_content = m_schema->CopyContent();

    int state;
    if (ReadRootDSE()) {
        DetectServerKind();
        ReadSubschemaTimestamp();
        if (NeedsSchemaFetch()) {
            LogString(kFetchingSchemaString);
            FetchSubschema();
        } else {
            LogString(kSchemaUnchangedString);
        }
        state = kSchemaLoaded;
    } else {
        LogString(kRootDSEUnreadableString);
        LoadRegistryDefinitions();
        state = kSchemaDefaultUsed;
    }
    UpdateSchemaMetaInformation(state);
    PopulateSchema(*m_content, *m_storage);
    // Content and state together: no reader sees the state before the maps.
    m_schema->Publish(std::move(m_content), state);
}

void CSchemaLoadThread::OnError(LDAPException error)
{
    if (m_schema) m_schema->SetLoadState(kSchemaFetchFailed);
    LogLine(FormatLDAPError(error));
}

bool CSchemaLoadThread::CheckResult(int)
{
    return false;
}

void CSchemaLoadThread::OnFinish()
{
    if (!m_schema) return;
    if (m_schema->GetLoadState() == kSchemaFetchInProgress) m_schema->SetLoadState(kSchemaFetchFailed);
    if (!IsCancelled()) RefreshSelectedServerInfo();
}

bool CSchemaLoadThread::FetchEntryIfPresent(const std::string& dn, const std::string& filter,
                                            const StringList& attributes)
{
    try {
        return FetchAttributeValues(dn, filter, attributes);
    } catch (const LDAPException& e) {
        if (e.GetResultCode() == kNoSuchObject) return false;
        throw;
    }
}

bool CSchemaLoadThread::ReadRootDSE()
{
    try {
        if (!FetchAttributeValues("", kAllEntriesFilter,
                                  Names({"subschemaSubentry", "supportedControl", "supportedExtension",
                                         "supportedSASLMechanisms", "namingContexts"})))
            return false;
    } catch (const LDAPException& e) {
        if (e.GetResultCode() == kNoSuchObject || e.GetResultCode() == kPartialResults) return false;
        throw;
    }
    StringList values;
    if (!GetFetchedValues("subschemaSubentry", values)) return false;
    SchemaRootInfo& root = m_content->RootInfo();
    root.subschemaDN = *values.begin();
    GetFetchedValues("supportedControl", root.supportedControls);
    GetFetchedValues("supportedExtension", root.supportedExtensions);
    GetFetchedValues("supportedSASLMechanisms", root.saslMechanisms);
    GetFetchedValues("namingContexts", root.namingContexts);
    return true;
}

void CSchemaLoadThread::DetectServerKind()
{
    if (!FetchAttributeValues("", kAllEntriesFilter,
                              Names({"objectClass", "namingContexts", "netscapemdsuffix", "dsServiceName",
                                     "orcldirectoryversion", "ibmdirectoryversion"})))
        return;
    ServerKindClues clues;
    GetFetchedValues("objectClass", clues.objectClass);
    GetFetchedValues("namingContexts", clues.namingContexts);
    GetFetchedValues("netscapemdsuffix", clues.netscapemdsuffix);
    GetFetchedValues("dsServiceName", clues.dsServiceName);
    GetFetchedValues("orcldirectoryversion", clues.orcldirectoryversion);
    GetFetchedValues("ibmdirectoryversion", clues.ibmdirectoryversion);
    int current = static_cast<int>(m_storage->GetMetaRecord().serverKind);
    int kind = DetectServerKind(clues, current);
    if (kind != current)
        m_storage->ChangeMetaRecord([kind](SchemaMetaRecord& m) { m.serverKind = static_cast<uint32_t>(kind); });
}

int CSchemaLoadThread::DetectServerKind(const ServerKindClues& clues, int currentKind)
{
    if (HasValueNoCase(clues.objectClass, "OpenLDAProotDSE")) return kServerOpenLDAP2;
    if (HasValueNoCase(clues.namingContexts, "o=NetscapeRoot")) return kServerNetscape;
    if (!clues.netscapemdsuffix.IsEmpty()) return kServerNetscape;
    if (!clues.dsServiceName.IsEmpty()) return kServerActiveDirectory;
    if (!clues.orcldirectoryversion.IsEmpty()) return kServerOracle;
    if (!clues.ibmdirectoryversion.IsEmpty()) return kServerSecureWay;
    for (const std::string& context : clues.namingContexts)
        if (context.find("_ABViews_") != std::string::npos || context.find("Microsoft DMD") != std::string::npos)
            return kServerExchange;
    if (HasValueNoCase(clues.namingContexts, "")) return kServerNovell;
    return currentKind;
}

void CSchemaLoadThread::ReadSubschemaTimestamp()
{
    m_serverTimestamp = 0;
    if (!FetchEntryIfPresent(m_content->GetRootInfo().subschemaDN, kSubschemaFilter, Names({"modifyTimeStamp"})))
        return;
    StringList values;
    if (GetFetchedValues("modifyTimestamp", values)) m_serverTimestamp = ParseTimestamp(*values.begin());
}

int64_t CSchemaLoadThread::ParseTimestamp(const std::string& text)
{
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        int digit = c - '0';
        if (value > (INT64_MAX - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    return value;
}

int64_t CSchemaLoadThread::CurrentTimeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return 0;
    char text[32];
    if (std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local) == 0) return 0;
    return ParseTimestamp(text);
}

bool CSchemaLoadThread::NeedsSchemaFetch() const
{
    return NeedsSchemaFetch(m_serverTimestamp, m_storage->GetMetaRecord(), CurrentTimeStamp());
}

bool CSchemaLoadThread::NeedsSchemaFetch(int64_t serverTimestamp, const SchemaMetaRecord& stored, int64_t now)
{
    // Kept definitions that stood in for an unreadable server are never
    // good once the server answers.
    if (stored.refreshNeeded || stored.defaultSchema) return true;
    if (serverTimestamp != 0) return serverTimestamp != stored.timestamp;
    // Stamps compared as numbers, not as times: a clock set back never fetches.
    if (now < stored.timestamp) return false;
    return static_cast<uint64_t>(now) - static_cast<uint64_t>(stored.timestamp) >
           static_cast<uint64_t>(kUnstampedRefreshAge);
}

void CSchemaLoadThread::FetchSubschema()
{
    StringList attributes;
    for (const KindInfo& k : kFetchOrder) attributes.Add(k.attribute);
    m_subschemaMissing = !FetchEntryIfPresent(m_content->GetRootInfo().subschemaDN, kSubschemaFilter, attributes);
    if (m_subschemaMissing) return;
    for (const KindInfo& k : kFetchOrder) {
        StringList values;
        GetFetchedValues(k.attribute, values);
        m_storage->SetDefinitions(k.kind, values, true);
    }
}

bool CSchemaLoadThread::LoadRegistryDefinitions()
{
    bool failed = false;
    for (const KindInfo& k : kFetchOrder) {
        StringList list;
        failed |= ReadRegistryDefinitions(k.attribute, list);
        // Not marked changed: a known host keeps its stored server definitions.
        m_storage->SetDefinitions(k.kind, list, false);
    }
    return failed;
}

bool CSchemaLoadThread::ReadRegistryDefinitions(const std::string& name, StringList& list)
{
    list.Clear();
    platform::RegistryKey key(platform::RegRoot::LocalMachine, true);
    if (!key.Open(kDefaultSchemaKey + Utf8ToWideString(name) + L"\\")) return true;
    std::vector<std::wstring> names;
    if (!key.ReadValueNames(names)) return true;
    bool failed = false;
    for (const std::wstring& valueName : names) {
        std::wstring text;
        if (!key.Read(valueName, text)) {
            failed = true;
            continue;
        }
        list.Add(WideToUtf8Text(text));
    }
    return failed;
}

void CSchemaLoadThread::UpdateSchemaMetaInformation(int loadState)
{
    int64_t stamp = m_serverTimestamp != 0 ? m_serverTimestamp : CurrentTimeStamp();
    bool stillDue = m_subschemaMissing;
    m_storage->ChangeMetaRecord([&](SchemaMetaRecord& m) {
        m.timestamp = stamp;
        m.defaultSchema = loadState == kSchemaFetchFailed || loadState == kSchemaDefaultUsed ? 1 : 0;
        m.refreshNeeded = stillDue ? 1 : 0;
    });
    // A failed save costs a fetch in the next run, nothing more.
    m_storage->SaveInPlace();
}

void CSchemaLoadThread::PopulateSchema(CSchemaContent& content, const ISchemaHostStorage& storage)
{
    const std::string read = ResourceText(kReadString);
    const std::string failed = ResourceText(kFailedString);
    const std::string duplicates = ResourceText(kDuplicatesString);
    for (const SummaryInfo& k : kPopulateOrder) {
        StringList definitions = storage.GetDefinitions(k.kind);
        size_t before = ElementCount(content, k.kind);
        size_t refused = 0;
        size_t stored = content.AddDefinitions(k.kind, definitions, &refused);
        size_t added = ElementCount(content, k.kind) - before;
        LogLine(std::string(k.header) + read + std::to_string(definitions.GetCount()) + failed +
                std::to_string(refused) + duplicates + std::to_string(stored - added));
    }
}

void InstallSchemaLoadJobStarter()
{
    CLDAPSchema::SetLoadJobStarter(
        [](const RefPtr<CLDAPSchema>& schema, const RefPtr<ISchemaHostStorage>& storage, LDAPConnection* connection) {
            auto job = std::make_shared<CSchemaLoadThread>(connection, schema, storage);
            // A thread that cannot be made has run the job's finish: fetch failed.
            job->CreateThread();
        });
}

void SetRefreshSelectedServerInfo(std::function<void()> refresh)
{
    std::lock_guard<std::mutex> g(RefreshLock());
    RefreshHook() = std::move(refresh);
}

void RefreshSelectedServerInfo()
{
    std::function<void()> refresh;
    {
        std::lock_guard<std::mutex> g(RefreshLock());
        refresh = RefreshHook();
    }
    if (refresh) refresh();
}
