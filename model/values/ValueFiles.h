#pragma once
// Attribute values in files the user chose: raw bytes or base64 text.
// Paths are UTF-8.

#include <string>

// Base64 of the bytes, one unbroken line.
std::string Base64EncodeString(const std::string& bytes);
// The bytes of a base64 text; empty when the text does not decode whole
// (see IsBase64Text).
std::string Base64DecodeString(const std::string& text);
// Whether the text decodes whole: only the 64 characters of the alphabet,
// "=" only as the last one or two characters, a length that is a multiple
// of 4. An empty text is base64 text.
bool IsBase64Text(const std::string& text);

// Reads the whole file and drops every CR and LF. When the file cannot be
// read: message string 32775, false.
bool LoadBase64TextFile(const std::string& path, std::string& text);
// Writes the bytes as base64 text; with wrap, in lines of lineLength
// characters, each ended by LF, the last one holding the rest (no empty last
// line). A lineLength below 1 writes one line. When the file cannot be
// written: message string 32776, false.
bool SaveBase64TextFile(const std::string& path, const std::string& bytes, bool wrap, int lineLength);

// As SaveBase64TextFile without the message: the caller reports a failure.
bool ConvertValueText(const std::string& path, const std::string& bytes, bool limitLines, int limit);
