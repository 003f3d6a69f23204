// bendwise-cli on Node: node bendwise-cli.mjs ARGS behaves as bendwise-cli ARGS (the same
// engine compiled to WebAssembly; files, standard streams and exit status are Node's own).
//
// Node cannot fetch a module's .wasm from a file path, so its bytes are read here and
// handed over as wasmBinary.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const engine = new URL('./bendwise-cli-engine.wasm', import.meta.url);
const createBendwiseCli = require('./bendwise-cli-engine.js');

createBendwiseCli({
    wasmBinary: readFileSync(engine),
    arguments: process.argv.slice(2),
    thisProgram: 'bendwise-cli',
});
