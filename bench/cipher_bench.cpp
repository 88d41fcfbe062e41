// Throughput of the cipher against OpenSSL's Blowfish (same block structure and round count,
// so the reference for speed), and the cost of the password methods with and without reuse
// of keyed tables.
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>

#include <string>
#include <vector>

#include "cipher/blowfish_engine.h"
#include "cipher/clsBlowfish.h"
#include "component/clsOrvAcctMan.h"

namespace {

using orv::cipher::BlowfishEngine;
using orv::cipher::CbcChain;

constexpr std::size_t kBufferBytes = 64 * 1024;
const std::string kKey = "benchmark key of some length";

std::vector<std::uint8_t> buffer() { return std::vector<std::uint8_t>(kBufferBytes, 0x5A); }

BF_KEY opensslKey() {
  BF_KEY key;
  BF_set_key(&key, static_cast<int>(kKey.size()), reinterpret_cast<const unsigned char*>(kKey.data()));
  return key;
}

void CbcEncrypt_Orv(benchmark::State& state) {
  BlowfishEngine engine;
  engine.mixKey(kKey);
  auto data = buffer();
  for (auto _ : state) {
    CbcChain chain;
    engine.cbcEncrypt(data, chain);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferBytes));
}

void CbcEncrypt_OpenSSL(benchmark::State& state) {
  const BF_KEY key = opensslKey();
  auto data = buffer();
  for (auto _ : state) {
    unsigned char iv[8] = {};
    BF_cbc_encrypt(data.data(), data.data(), static_cast<long>(data.size()), &key, iv, BF_ENCRYPT);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferBytes));
}

void CbcDecrypt_Orv(benchmark::State& state) {
  BlowfishEngine engine;
  engine.mixKey(kKey);
  auto data = buffer();
  for (auto _ : state) {
    CbcChain chain;
    engine.cbcDecrypt(data, chain);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferBytes));
}

void CbcDecrypt_OpenSSL(benchmark::State& state) {
  const BF_KEY key = opensslKey();
  auto data = buffer();
  for (auto _ : state) {
    unsigned char iv[8] = {};
    BF_cbc_encrypt(data.data(), data.data(), static_cast<long>(data.size()), &key, iv, BF_DECRYPT);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferBytes));
}

// From the initial tables to keyed tables, as each side does it for a new key.
void KeySchedule_Orv(benchmark::State& state) {
  for (auto _ : state) {
    BlowfishEngine engine;
    engine.mixKey(kKey);
    benchmark::DoNotOptimize(&engine.tables());
  }
}

void KeySchedule_OpenSSL(benchmark::State& state) {
  BF_KEY key;
  for (auto _ : state) {
    BF_set_key(&key, static_cast<int>(kKey.size()), reinterpret_cast<const unsigned char*>(kKey.data()));
    benchmark::DoNotOptimize(&key);
  }
}

std::u16string cipherTextOf(const std::u16string& password, const std::u16string& key) {
  orv::cipher::clsBlowfish cipher;
  return cipher.EncryptString(password, key, true);
}

void DeCryptPwd_RepeatedKey(benchmark::State& state) {
  orv::clsOrvAcctMan account;
  const orv::SecretText key(u"repeated key");
  const std::u16string cipherText = cipherTextOf(u"password", key.str());
  for (auto _ : state) {
    std::u16string sPwd = cipherText;
    benchmark::DoNotOptimize(account.DeCrypt_Pwd(sPwd, key));
  }
}

// Far more distinct keys than the instance keeps keyed tables for: every call pays the schedule.
void DeCryptPwd_NewKeyEachCall(benchmark::State& state) {
  orv::clsOrvAcctMan account;
  const std::u16string cipherText = cipherTextOf(u"password", u"k");
  std::vector<orv::SecretText> keys;
  for (int i = 0; i < 4096; ++i) {
    const std::string digits = std::to_string(i);
    keys.emplace_back(u"key " + std::u16string(digits.begin(), digits.end()));
  }
  std::size_t next = 0;
  for (auto _ : state) {
    std::u16string sPwd = cipherText;
    benchmark::DoNotOptimize(account.DeCrypt_Pwd(sPwd, keys[next]));
    next = (next + 1) % keys.size();
  }
}

BENCHMARK(CbcEncrypt_Orv);
BENCHMARK(CbcEncrypt_OpenSSL);
BENCHMARK(CbcDecrypt_Orv);
BENCHMARK(CbcDecrypt_OpenSSL);
BENCHMARK(KeySchedule_Orv);
BENCHMARK(KeySchedule_OpenSSL);
BENCHMARK(DeCryptPwd_RepeatedKey);
BENCHMARK(DeCryptPwd_NewKeyEachCall);

}  // namespace

BENCHMARK_MAIN();
