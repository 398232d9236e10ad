// What the browser test scripts share: a check that failed, and running a
// list of checks one after another, a line each.
export class CheckFailure extends Error {}

export function expect(condition, message) {
  if (!condition) throw new CheckFailure(message);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Runs each {name, fn} of checks, printing "ok" or "FAILED" with the time
// taken and what fn returned; returns how many failed.
export async function runChecks(checks, what) {
  let failed = 0;
  for (const { name, fn } of checks) {
    const started = Date.now();
    try {
      const detail = await fn();
      console.log(`ok      ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)${detail ? ': ' + detail : ''}`);
    } catch (error) {
      failed++;
      console.log(`FAILED  ${name}: ${error instanceof CheckFailure ? error.message : error.stack}`);
    }
  }
  console.log(`${what}: ${checks.length - failed} passed, ${failed} failed`);
  return failed;
}
