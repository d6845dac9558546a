// Drives a headless browser through the hypertext pages of a running
// quivera --headless with management sets allowed:
//   node web_pages_check.mjs BASE_URL USER_DATA_DIR [CHROMIUM]
// Loads the Home page, walks the navigation bar, submits the SMT
// connection-policy form and the Port LER form, and checks that the page
// that follows each set shows the changed values. Exits 0 when every check
// holds, 1 (with the reasons on standard error) otherwise.
import { chromium } from 'playwright-core';

const [baseUrl, userDataDir, executablePath = '/usr/bin/chromium'] = process.argv.slice(2);
if (!baseUrl || !userDataDir) {
  console.error('usage: node web_pages_check.mjs BASE_URL USER_DATA_DIR [CHROMIUM]');
  process.exit(2);
}

const failures = [];
let currentPage = null;
async function check(condition, what) {
  if (!condition) {
    failures.push(what);
    if (currentPage) {
      console.log(`     at ${currentPage.url()}: ${(await currentPage.content()).slice(0, 400)}`);
    }
  }
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
}

// Clicks a submit button and waits for the page its form leads to.
async function submit(page, selector) {
  const [response] = await Promise.all([page.waitForNavigation(), page.click(selector)]);
  return response;
}

const context = await chromium.launchPersistentContext(userDataDir, {
  executablePath,
  headless: true,
  args: [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
  ],
  timeout: 60000,
});
context.setDefaultTimeout(20000);

try {
  const page = context.pages()[0] ?? (await context.newPage());
  currentPage = page;

  // Home page, with the server's own header lines.
  const home = await page.goto(`${baseUrl}/`);
  await check(home.status() === 200, 'Home page answered 200');
  await check((await home.allHeaders())['server'] === 'QUIVERA/FDDI', 'Server header names the program');
  await check((await page.title()) === 'QUIVERA/FDDI Hypertext Connection', 'Home page title');

  // The navigation bar leads to the MAC page of adapter 1.
  await submit(page, 'input[type=submit][name=PAGE][value=MAC]');
  await check((await page.title()) === 'QUIVERA/FDDI MAC Objects', 'MAC button leads to the MAC page');
  await check(/PAGE=MAC/.test(page.url()) && /ADAPTER=01/.test(page.url()), 'bar form sends PAGE and ADAPTER');

  // SMT connection policy: toggle one box, SET, and the next page shows it.
  await submit(page, 'input[type=submit][name=PAGE][value=SMT]');
  await check((await page.title()) === 'QUIVERA/FDDI SMT Objects', 'SMT button leads to the SMT page');
  const box = 'input[type=checkbox][name=CP][value=A2A]';
  const wasChecked = await page.isChecked(box);
  await page.setChecked(box, !wasChecked);
  await submit(page, 'input[type=submit][name=SMTCP][value=SET]');
  await check((await page.title()) === 'QUIVERA/FDDI SMT Objects', 'policy SET answers with the SMT page');
  await check((await page.isChecked(box)) === !wasChecked, 'A-A box shows the policy just set');
  await submit(page, 'input[type=submit][name=SMTCP][value=DEFAULT]');
  await check((await page.isChecked(box)) === false, 'policy DEFAULT rejects A-A again');

  // Port LER limits: fill both fields, SET, and the next page shows them.
  const portButton = (await page.$('input[type=submit][name=PAGE][value=Port0]'))
    ? 'input[type=submit][name=PAGE][value=Port0]'
    : 'input[type=submit][name=PAGE][value=Port]';
  await submit(page, portButton);
  await check((await page.title()) === 'QUIVERA/FDDI Port Objects', 'Port button leads to the Port page');
  const cutoff = await page.inputValue('input[name=LERCUTOFF]');
  const alarm = await page.inputValue('input[name=LERALARM]');
  const newCutoff = cutoff === '5' ? '6' : '5';
  const newAlarm = alarm === '6' ? '7' : '6';  // both within 5..8
  await page.fill('input[name=LERCUTOFF]', newCutoff);
  await page.fill('input[name=LERALARM]', newAlarm);
  await submit(page, 'input[type=submit][name=LER][value=SET]');
  await check((await page.title()) === 'QUIVERA/FDDI Port Objects', 'LER SET answers with the Port page');
  await check((await page.inputValue('input[name=LERCUTOFF]')) === newCutoff, `LER cutoff shows ${newCutoff}`);
  await check((await page.inputValue('input[name=LERALARM]')) === newAlarm, `LER alarm shows ${newAlarm}`);

  // A fresh load of the Port page still shows them: the adapter holds them.
  await submit(page, portButton);
  await check((await page.inputValue('input[name=LERCUTOFF]')) === newCutoff, 'LER cutoff kept');
} catch (error) {
  failures.push(`browser run failed: ${error.message}`);
} finally {
  await context.close();
}

if (failures.length > 0) {
  console.error(`${failures.length} check(s) failed:\n  ${failures.join('\n  ')}`);
  process.exit(1);
}
console.log('all checks passed');
