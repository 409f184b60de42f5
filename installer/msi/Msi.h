#pragma once
// The installer's C interface as custom actions see it: handles, properties,
// run modes, the database's views and records, features, folders and the
// product registry. Names, arguments and result codes are the installer's.

#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t UINT;
typedef uint32_t DWORD;
typedef int BOOL;
typedef uint32_t MSIHANDLE;
typedef int INSTALLSTATE;
typedef int MSIRUNMODE;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_MORE_DATA 234u
#define ERROR_NO_MORE_ITEMS 259u
#define ERROR_DIRECTORY 267u
#define ERROR_INSTALL_SUSPEND 1604u
#define ERROR_UNKNOWN_PRODUCT 1605u
#define ERROR_UNKNOWN_FEATURE 1606u
#define ERROR_UNKNOWN_PROPERTY 1608u
#define ERROR_INVALID_HANDLE_STATE 1609u
#define ERROR_BAD_QUERY_SYNTAX 1615u
#define ERROR_FUNCTION_FAILED 1627u
#define ERROR_INVALID_DATATYPE 1804u

#define MSI_NULL_INTEGER ((int)0x80000000)

#define MSIRUNMODE_REBOOTATEND 6
#define MSIRUNMODE_REBOOTNOW 7
#define MSIRUNMODE_TARGETSHORTNAMES 10
#define MSIRUNMODE_SCHEDULED 16
#define MSIRUNMODE_ROLLBACK 17
#define MSIRUNMODE_COMMIT 18

#define INSTALLSTATE_UNKNOWN (-1)
#define INSTALLSTATE_ADVERTISED 1
#define INSTALLSTATE_ABSENT 2
#define INSTALLSTATE_LOCAL 3
#define INSTALLSTATE_SOURCE 4
#define INSTALLSTATE_DEFAULT 5

// Text results: *pcch holds the buffer's size in characters on entry and the
// text's length (without the terminator) on return; a buffer too small gets
// what fits and ERROR_MORE_DATA; a null buffer only asks for the length.

UINT MsiCloseHandle(MSIHANDLE hAny);

UINT MsiGetPropertyA(MSIHANDLE hInstall, const char* szName, char* szValueBuf, DWORD* pcchValueBuf);
// A null or empty value removes the property.
UINT MsiSetPropertyA(MSIHANDLE hInstall, const char* szName, const char* szValue);
BOOL MsiGetMode(MSIHANDLE hInstall, MSIRUNMODE eRunMode);
UINT MsiSetMode(MSIHANDLE hInstall, MSIRUNMODE eRunMode, BOOL fState);
UINT MsiDoActionA(MSIHANDLE hInstall, const char* szAction);
UINT MsiGetFeatureStateA(MSIHANDLE hInstall, const char* szFeature, INSTALLSTATE* piInstalled,
                         INSTALLSTATE* piAction);
UINT MsiGetTargetPathW(MSIHANDLE hInstall, const wchar_t* szFolder, wchar_t* szPathBuf, DWORD* pcchPathBuf);
// [name] is the property, [n] field n of the record; field 0 is the template.
UINT MsiFormatRecordA(MSIHANDLE hInstall, MSIHANDLE hRecord, char* szResultBuf, DWORD* pcchResultBuf);

// 0 when the installation has no database or runs deferred.
MSIHANDLE MsiGetActiveDatabase(MSIHANDLE hInstall);
// SELECT columns FROM table [WHERE column = value AND ...]; a value is '?'
// (taken in order from the record given to MsiViewExecute), 'text' or a number.
UINT MsiDatabaseOpenViewA(MSIHANDLE hDatabase, const char* szQuery, MSIHANDLE* phView);
UINT MsiViewExecute(MSIHANDLE hView, MSIHANDLE hRecord);
// ERROR_NO_MORE_ITEMS after the last row.
UINT MsiViewFetch(MSIHANDLE hView, MSIHANDLE* phRecord);
UINT MsiViewClose(MSIHANDLE hView);

MSIHANDLE MsiCreateRecord(UINT cParams);
UINT MsiRecordGetFieldCount(MSIHANDLE hRecord);
BOOL MsiRecordIsNull(MSIHANDLE hRecord, UINT iField);
// MSI_NULL_INTEGER for a null field or a text that is no number.
int MsiRecordGetInteger(MSIHANDLE hRecord, UINT iField);
UINT MsiRecordSetInteger(MSIHANDLE hRecord, UINT iField, int iValue);
UINT MsiRecordGetStringA(MSIHANDLE hRecord, UINT iField, char* szValueBuf, DWORD* pcchValueBuf);
UINT MsiRecordSetStringA(MSIHANDLE hRecord, UINT iField, const char* szValue);
// Reads on from where the last read stopped; *pcbDataBuf in: room, out: bytes
// read. A null buffer gives the bytes that remain.
UINT MsiRecordReadStream(MSIHANDLE hRecord, UINT iField, char* szDataBuf, DWORD* pcbDataBuf);

UINT MsiGetProductInfoA(const char* szProduct, const char* szProperty, char* lpValueBuf, DWORD* pcchValueBuf);
// lpProductBuf holds 39 characters.
UINT MsiEnumRelatedProductsA(const char* lpUpgradeCode, DWORD dwReserved, DWORD iProductIndex, char* lpProductBuf);

#ifdef __cplusplus
}
#endif
