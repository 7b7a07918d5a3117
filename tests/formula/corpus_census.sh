#!/usr/bin/env bash
# Formula census of the shared corpus: how many formula cells decode cleanly, and why the others
# do not. Usage: corpus_census.sh BUILD_DIR [CORPUS_DIR]
set -u
build=${1:?build folder}
corpus=${2:-$(dirname "$0")/../../../shared/corpus/files}
tool="$build/tests/formula/formula_corpus_census"
find "$corpus" -type f | sort | while read -r f; do
  timeout 60 "$tool" "$f" 2>/dev/null || printf '%s\ttimeout or crash\n' "$f"
done | awk -F'\t' '
  NF >= 9 { files++; if ($2 > 0) withf++; total += $2; clean += $3; miss += $5; trunc += $6;
            bad += $7; err += $8; lists += $9;
            if ($4 != "-") { n = split($4, ids, ","); for (i = 1; i < n; i++) { split(ids[i], kv, "x"); unk[kv[1]] += kv[2] } }
            if ($2 > $3 || $9 > 0) print "  " $0 }
  NF < 9 { other++; print "  " $0 }
  END { printf "files %d (with formulas %d, not read %d)\nformula cells %d, clean %d (%.2f%%)\n",
               files, withf, other, total, clean, total ? 100 * clean / total : 0;
        printf "val missing %d, truncated %d, bad array %d, [ERROR] %d, list-index errors %d\n",
               miss, trunc, bad, err, lists;
        for (k in unk) printf "unknown ptg %s: %d\n", k, unk[k] }'
