// The simulator compiled to WebAssembly agrees byte for byte with the native
// one: the same dumps, the same errors, the same exit status.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { missing, nativeSim, root, runSim, wasmSim } from './common.mjs';

const skip = missing(wasmSim, nativeSim);
const scripts = [
  ...readdirSync(join(root, 'tests/conformance')).filter((f) => f.endsWith('.txt'))
    .map((f) => join(root, 'tests/conformance', f)),
  ...readdirSync(join(root, 'tests/web/scripts')).map((f) => join(root, 'tests/web/scripts', f)),
];

for (const script of scripts) {
  test(`same run: ${script.slice(root.length + 1)}`, { skip }, () => {
    const native = runSim('native', [script]);
    const wasm = runSim('wasm', [script]);
    assert.ok(native.stdout.length > 0);
    assert.deepEqual(wasm, native);
  });
}

test('standard input, a bad line, bad arguments and a missing file answer alike', { skip }, () => {
  const cases = [
    { args: [], input: readFileSync(scripts[0], 'utf8') },
    { args: [], input: 'click Form1.Command1\nrun 100\ndump\nclick Form9.x\ndump\n' },
    { args: ['a', 'b'], input: '' },
    { args: [join(root, 'no-such-script.txt')], input: '' },
  ];
  for (const c of cases) assert.deepEqual(runSim('wasm', c.args, c.input), runSim('native', c.args, c.input));
});
