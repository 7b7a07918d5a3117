#pragma once
// Hand-written token strings for the decoder tests.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

struct TokenBytes {
  std::vector<std::uint8_t> b;

  TokenBytes& u8(unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  TokenBytes& u8s(std::initializer_list<unsigned> vs) {
    for (unsigned v : vs) u8(v);
    return *this;
  }
  TokenBytes& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8); }
  TokenBytes& f64(double v) {
    std::uint8_t raw[8];
    std::memcpy(raw, &v, 8);
    for (auto x : raw) u8(x);
    return *this;
  }
  TokenBytes& zeros(std::size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  TokenBytes& latin1(const std::string& s) {
    for (unsigned char c : s) u8(c);
    return *this;
  }
  TokenBytes& utf16(std::initializer_list<unsigned> units) {
    for (unsigned u : units) u16(u);
    return *this;
  }

  // Common tokens (BIFF8 layouts unless the name says otherwise).
  TokenBytes& Int(unsigned v) { return u8(0x1E).u16(v); }
  TokenBytes& Op(unsigned id) { return u8(id); }
  // BIFF8 cell reference: row, then column with the relative flags in bits 14 and 15.
  TokenBytes& Ref8(unsigned row, unsigned col, bool relRow, bool relCol, unsigned id = 0x24) {
    return u8(id).u16(row).u16(col | (relRow ? 0x8000 : 0) | (relCol ? 0x4000 : 0));
  }
  TokenBytes& Area8(unsigned r1, unsigned r2, unsigned c1, unsigned c2, unsigned flags = 0xC000,
                    unsigned id = 0x25) {
    return u8(id).u16(r1).u16(r2).u16(c1 | flags).u16(c2 | flags);
  }
  // BIFF2-BIFF5 cell reference: flags in the row field, one column byte.
  TokenBytes& Ref5(unsigned row, unsigned col, bool relRow, bool relCol, unsigned id = 0x24) {
    return u8(id).u16(row | (relRow ? 0x8000 : 0) | (relCol ? 0x4000 : 0)).u8(col);
  }
};
