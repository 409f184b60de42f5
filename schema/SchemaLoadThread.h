#pragma once
// The loading job of a host's schema model. It reads the root DSE, tells the
// kind of server, decides whether the definitions kept in the cache file are
// still good and fetches the subschema when they are not, falls back to the
// machine's "DefaultSchema" definitions when the root DSE cannot be read,
// records the outcome in the host's meta record, saves the host storage, and
// publishes the parsed definitions together with the load state, so that a
// reader that sees state 2 or 3 sees the whole content.
//
// One job per model and run, started by the model through the starter that
// InstallSchemaLoadJobStarter sets. It holds the model, the host storage and
// the connection while it runs, and is registered like every worker, so the
// shut-down can stop it; a stopped job leaves the model at fetch failed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "jobs/CLDAPFetchThread.h"
#include "ldap/LDAPOperationOptions.h"
#include "base/StringList.h"
#include "schema/LDAPSchema.h"
#include "schema/SchemaHostStorage.h"

// Root DSE values that tell the kind of server.
struct ServerKindClues {
    StringList objectClass;
    StringList namingContexts;
    StringList netscapemdsuffix;
    StringList dsServiceName;
    StringList orcldirectoryversion;
    StringList ibmdirectoryversion;
};

class CSchemaLoadThread : public CLDAPFetchThread {
public:
    // Takes its own references on all three; connection may be null (the
    // job then fails at its first read).
    CSchemaLoadThread(arbldap::LDAPConnection* connection, RefPtr<CLDAPSchema> schema, RefPtr<ISchemaHostStorage> storage);
    ~CSchemaLoadThread() override;

    void DoWork() override;
    // Load state 1, and the failure in the message log.
    void OnError(arbldap::LDAPException error) override;
    // Nothing to check: the job reads its results itself.
    bool CheckResult(int resultCode) override;
    // A job that ended without a load state (stopped, or failed outside
    // LDAP) leaves fetch failed; then the document redraws the server's texts.
    void OnFinish() override;

    // The kind the root DSE values tell, first rule first; currentKind when
    // none holds.
    static int DetectServerKind(const ServerKindClues& clues, int currentKind);
    // serverTimestamp: the subschema's modifyTimestamp, 0 when the server gave
    // none; stored: the host's meta record; now: CurrentTimeStamp().
    static bool NeedsSchemaFetch(int64_t serverTimestamp, const SchemaMetaRecord& stored, int64_t now);
    // The leading decimal digits of a GeneralizedTime; 0 when there are none
    // or they do not fit.
    static int64_t ParseTimestamp(const std::string& text);
    // The local time as the number YYYYMMDDHHMMSS.
    static int64_t CurrentTimeStamp();
    // How far the local stamp must move on before a server without a
    // modifyTimestamp is read again.
    static constexpr int64_t kUnstampedRefreshAge = int64_t(1) << 24;

    // The "DefaultSchema" definitions of one kind from the machine root of
    // the settings store into list (emptied first). True when anything
    // failed: a missing key, or a value that does not read as text.
    static bool ReadRegistryDefinitions(const std::string& name, StringList& list);
    // Parses every definition the storage keeps into content, kind by kind,
    // and logs one summary line per kind: read, failed, and the number
    // replaced by a later definition with the same OID.
    static void PopulateSchema(CSchemaContent& content, const ISchemaHostStorage& storage);

private:
    bool ReadRootDSE();
    void DetectServerKind();
    void ReadSubschemaTimestamp();
    bool NeedsSchemaFetch() const;
    void FetchSubschema();
    bool LoadRegistryDefinitions();
    void UpdateSchemaMetaInformation(int loadState);
    // A base read that takes a missing entry (result 32) as no entry.
    bool FetchEntryIfPresent(const std::string& dn, const std::string& filter, const StringList& attributes);

    RefPtr<CLDAPSchema> m_schema;
    RefPtr<ISchemaHostStorage> m_storage;
    arbldap::LDAPOperationOptions m_options;
    std::unique_ptr<CSchemaContent> m_content;
    int64_t m_serverTimestamp = 0;
    // A fetch ran and found no subschema entry: the refresh stays due.
    bool m_subschemaMissing = false;
};

// Makes new host schemas start a CSchemaLoadThread; the shell calls it at
// start-up. Until then new host schemas stay at fetch in progress.
void InstallSchemaLoadJobStarter();

// The document's RefreshSelectedServerInfo, which redraws the selected
// server's texts. Each loading job calls it on its worker thread when it
// ends; nothing happens until the shell sets it (null clears it).
void SetRefreshSelectedServerInfo(std::function<void()> refresh);
void RefreshSelectedServerInfo();
