#pragma once
// The confirmations the program may ask with a remembered answer, by number:
// what the options' confirmations page lists and lets the user forget.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ConfirmationEntry {
    std::wstring description;
    std::wstring title;
    uint32_t kind = 0;  // the message box's button set
};

// Ordered by number.
const std::map<uint32_t, ConfirmationEntry>& GetConfirmations();
void AddConfirmation(uint32_t id, const ConfirmationEntry& entry);
// The program's: number 5, kind 4, title string 207, description string 193.
void RegisterConfirmations();

// String ids of the answers a confirmation of the kind offers, in position order.
std::vector<unsigned> ConfirmationAnswerTexts(uint32_t kind);

// Answer index (position - 1) of each listed confirmation with a remembered
// answer; the others are absent.
std::map<uint32_t, int> ReadListedAnswers();
// Rewrites the remembered answers of the listed confirmations only: a
// checked one (in checked, with its answer index) is written, any other
// listed one is forgotten. Other numbers in the store stay.
void WriteListedAnswers(const std::map<uint32_t, int>& checked);
