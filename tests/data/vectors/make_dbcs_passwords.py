#!/usr/bin/env python3
"""Known answers for keys and passwords under double-byte ANSI code pages.

Written from the cipher's rules alone, sharing nothing with the C++ code: the tables come from
the hexadecimal digits of pi computed here, the key bytes from Python's own code-page codecs,
and the key schedule cycles over as many key bytes as the key has characters (UTF-16 units),
or over all of them where a code page gave fewer bytes than that.

usage: make_dbcs_passwords.py > passwords-dbcs.tsv
"""
import struct

WORDS = 18 + 1024


def pi_fraction_words(count):
    # Machin: pi = 16 atan(1/5) - 4 atan(1/239), in fixed point with guard digits.
    bits = 32 * count + 64
    one = 1 << bits

    def atan_inv(x):
        total, term, n, sign = 0, one // x, 1, 1
        while term:
            total += sign * (term // n)
            term //= x * x
            n += 2
            sign = -sign
        return total

    pi = 16 * atan_inv(5) - 4 * atan_inv(239)
    frac = (pi - 3 * one) >> 64
    return [(frac >> (32 * (count - 1 - i))) & 0xFFFFFFFF for i in range(count)]


W = pi_fraction_words(WORDS)
P0 = W[:18]
S_WORDS = W[18:]
# Word 4e + b of the published order goes to box b, entry e.
S0 = [[S_WORDS[4 * e + b] for e in range(256)] for b in range(4)]


class Cipher:
    def __init__(self):
        self.p = list(P0)
        self.s = [list(box) for box in S0]

    def f(self, x):
        s = self.s
        return ((((s[0][x >> 24] + s[1][(x >> 16) & 255]) & 0xFFFFFFFF) ^ s[2][(x >> 8) & 255]) + s[3][x & 255]) & 0xFFFFFFFF

    def encipher(self, l, r):
        p = self.p
        for k in range(8):
            l ^= p[2 * k]
            r ^= self.f(l) ^ p[2 * k + 1]
            l ^= self.f(r)
        return r ^ p[17], l ^ p[16]

    def key(self, key_bytes, characters):
        n = min(characters, len(key_bytes))
        j = 0
        for i in range(18):
            d = 0
            for _ in range(4):
                d = ((d << 8) | (d & 0xFF)) & 0xFFFFFFFF
                d |= key_bytes[j]
                j += 1
                if j >= n:
                    j = 0
            self.p[i] ^= d
        l = r = 0
        for i in range(0, 18, 2):
            l, r = self.encipher(l, r)
            self.p[i], self.p[i + 1] = l, r
        for b in range(4):
            for e in range(0, 256, 2):
                l, r = self.encipher(l, r)
                self.s[b][e], self.s[b][e + 1] = l, r

    def encrypt(self, plain, random1, random2):
        c = (len(plain) + 12 + 7) // 8 * 8
        data = bytearray(c)
        data[0:4] = struct.pack("<I", random1)
        data[4:8] = struct.pack("<I", random2)
        data[8:12] = struct.pack("<I", len(plain))
        data[12:12 + len(plain)] = plain
        prev_l = prev_r = 0
        for o in range(0, c, 8):
            l, r = struct.unpack(">II", data[o:o + 8])
            l, r = self.encipher(l ^ prev_l, r ^ prev_r)
            data[o:o + 8] = struct.pack(">II", l, r)
            prev_l, prev_r = l, r
        return bytes(data)


def utf16_units(text):
    return len(text.encode("utf-16-le")) // 2


# (Windows code page, Python codec, key, password). Keys of double-byte characters only, and
# keys that mix single- and double-byte characters.
CASES = [
    (932, "cp932", "日本", "パスワード"),
    (932, "cp932", "鍵", "秘密"),
    (932, "cp932", "Key日本語", "pass word"),
    (932, "cp932", "ｶﾀｶﾅ鍵k", "ﾊﾟｽ漢字x"),
    (936, "cp936", "中文", "密码"),
    (936, "cp936", "钥匙", "secret"),
    (936, "cp936", "abc中文def", "混合Mixed"),
]


def main():
    print("# Passwords under double-byte ANSI code pages; key and password as UTF-8 text, cipher as")
    print("# the password methods return it (random words fixed). Made by make_dbcs_passwords.py.")
    print("code_page\tkey\tpassword\tcipher_hex")
    for i, (code_page, codec, key, password) in enumerate(CASES):
        cipher = Cipher()
        cipher.key(key.encode(codec), utf16_units(key))
        sealed = cipher.encrypt(password.encode(codec), 0x1234567 * (i + 1) & 0x7FFFFFFF, 0x7654321 * (i + 3) & 0x7FFFFFFF)
        print(f"{code_page}\t{key}\t{password}\t{sealed.hex().upper()}")


if __name__ == "__main__":
    main()
