#!/usr/bin/env node
// End to end in a real OBS: the module's connection, state, feedback and action code (all but
// Companion's host process) runs a whole show through the module's actions. A second, plain
// obs-websocket client hears the same vendor events; each must show in the module's variables
// and feedbacks within 200 ms. Then OBS is restarted: the module reconnects and shows the show
// as GetState tells it.
//
//   CURTAINUP_OBS_PORT=4455 CURTAINUP_OBS_PASSWORD=secret npm run e2e   (node test/e2e/run_show.mjs)
//
// CURTAINUP_OBS_HOST (127.0.0.1), CURTAINUP_OBS_PORT (4455), CURTAINUP_OBS_PASSWORD (none).
// For the restart the driver prints "restart-obs" and waits for a line on stdin: restart OBS in
// between, on the same port and password. CURTAINUP_E2E_RESTART=skip leaves the restart out.
// OBS's current CurtainUp preset needs a standby, a main and a break scene; nothing may stream.
import { createInterface } from 'node:readline'
import OBSWebSocket, { EventSubscription } from 'obs-websocket-js/json'
import { actionTable, perform } from '../../src/actions.js'
import { CurtainUpConnection } from '../../src/connection.js'
import { FEEDBACKS } from '../../src/feedbacks.js'
import { variableValues } from '../../src/state.js'

const env = process.env
const settings = {
	host: env.CURTAINUP_OBS_HOST || '127.0.0.1',
	port: Number(env.CURTAINUP_OBS_PORT || 4455),
	password: env.CURTAINUP_OBS_PASSWORD || '',
}
const FOLLOW_MS = 200
const RUN_LIMIT_MS = 5 * 60000

// The feedbacks of the preset page, as Companion would ask them.
const KEYS = [
	['phase', { phase: 'standby' }],
	['phase', { phase: 'main' }],
	['phase', { phase: 'break' }],
	['phase', { phase: 'ending' }],
	['held', {}],
	['armed', {}],
	['counting', {}],
	['time_below', { seconds: 60 }],
	['time_below', { seconds: 10 }],
	['problem', {}],
	['streaming', {}],
]
const keyName = ([id, o]) => id + (o.phase ? `=${o.phase}` : '') + (o.seconds ? `<${o.seconds}` : '')

// What Companion shows for a state: the variables and the names of the lit feedbacks.
function view(state, streaming) {
	const lit = KEYS.filter(([id, o]) => FEEDBACKS[id].test({ state, streaming }, o)).map(keyName)
	return { ...variableValues(state), lit: lit.join(' ') }
}
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b)

// --- the module, as main.js wires it, and what it would have shown when -------------------
const connection = new CurtainUpConnection(settings, (level, message) => console.log(`  module ${level}: ${message}`))
const current = () => view(connection.state, connection.streaming)
const shown = []
const publish = () => shown.push({ at: performance.now(), view: current() })
connection.on('state', publish)
connection.on('streaming', publish)
const statuses = []
connection.on('status', (kind, message) => {
	statuses.push(kind)
	console.log(`  status ${kind}${message ? `: ${message}` : ''}`)
})

// --- the plain client, hearing the events itself ------------------------------------------
const heard = []
let observer = null

async function observe() {
	observer = new OBSWebSocket()
	await observer.connect(`ws://${settings.host}:${settings.port}`, settings.password || undefined, {
		eventSubscriptions: EventSubscription.Vendors,
	})
	observer.on('VendorEvent', ({ vendorName, eventType, eventData }) => {
		if (vendorName === 'curtainup')
			heard.push({ at: performance.now(), eventType, view: view(eventData, connection.streaming) })
	})
}

async function getState() {
	const answer = await observer.call('CallVendorRequest', { vendorName: 'curtainup', requestType: 'GetState' })
	return view(answer.responseData, connection.streaming)
}

// --- checks -------------------------------------------------------------------------------
const results = []
function check(name, passed, detail = '') {
	results.push({ name, passed, detail })
	console.log(`${passed ? 'ok  ' : 'FAIL'} ${name}${detail ? ` (${detail})` : ''}`)
}

// Resolves true as soon as test() holds, looking at each `event` of the emitter; false after ms.
function until(emitter, event, test, ms) {
	return new Promise((resolve) => {
		const done = (result) => {
			clearTimeout(timer)
			emitter.off(event, look)
			resolve(result)
		}
		const look = () => test() && done(true)
		const timer = setTimeout(() => done(false), ms)
		emitter.on(event, look)
		look()
	})
}
const shows = (wanted, ms) => until(connection, 'state', () => wanted(current()), ms)
const statusBecomes = (kind, ms, client = connection) => until(client, 'status', () => client.status.kind === kind, ms)

// Runs an action as a key press does and waits until the module shows its effect.
async function step(name, actionId, options, wanted, ms = 3000) {
	const answer = await perform(actionTable(connection.presets)[actionId], options, connection)
	if (!answer.ok) return check(name, false, `refused: ${answer.error}`)
	check(name, await shows(wanted, ms), `shows ${JSON.stringify(current())}`)
}

// The module shows what GetState says; time left may differ by the ticks in between.
async function showsGetState(name) {
	const expected = await getState()
	const close = (v) =>
		same({ ...v, time_left: '', remaining_s: '' }, { ...expected, time_left: '', remaining_s: '' }) &&
		(v.remaining_s === '' ? expected.remaining_s === '' : Math.abs(v.remaining_s - expected.remaining_s) <= 2)
	check(name, await shows(close, FOLLOW_MS), `GetState ${JSON.stringify(expected)}`)
}

// Every event the plain client heard, shown by the module within 200 ms of it.
function checkFollowed() {
	const lags = heard.map(({ at, view: wanted }) => {
		const match = shown.find((s) => Math.abs(s.at - at) <= FOLLOW_MS && same(s.view, wanted))
		return match ? Math.max(0, match.at - at) : null
	})
	const missed = heard.filter((_, i) => lags[i] === null).map((h) => `${h.eventType} ${JSON.stringify(h.view)}`)
	const worst = Math.max(0, ...lags.filter((lag) => lag !== null))
	check(
		`each of the ${heard.length} vendor events shown within ${FOLLOW_MS} ms`,
		heard.length > 0 && missed.length === 0,
		missed.length ? `missed: ${missed.slice(0, 3).join('; ')}` : `slowest ${worst.toFixed(1)} ms`,
	)
}

function askForRestart() {
	console.log('restart-obs')
	const lines = createInterface({ input: process.stdin })
	// A closed stdin answers too: the checks after it then tell what went wrong.
	return new Promise((resolve) => lines.once('line', () => lines.close()).once('close', resolve))
}

// --- the show -------------------------------------------------------------------------------
const isIdle = (v) => v.phase === 'idle' && v.time_left === '' && !v.lit.includes('counting')

async function run() {
	connection.start()
	check(`connects to ${connection.url} with the password`, await statusBecomes('ok', 30000))
	const intruder = new CurtainUpConnection({ ...settings, password: `not ${settings.password}` })
	intruder.start()
	check('a wrong password shows as one', await statusBecomes('bad_password', 5000, intruder), intruder.status.message)
	await intruder.stop()
	await observe()
	await showsGetState('shows what GetState says')
	if (!isIdle(current()) || current().armed) {
		await perform(actionTable([]).cancel, {}, connection)
		await perform(actionTable([]).disarm, {}, connection)
		check('the show is idle to begin with', await shows(isIdle, 5000))
	}
	if (await until(connection, 'presets', () => connection.presets.length > 0, 2000)) {
		const answer = await perform(actionTable(connection.presets).select_preset, { name: current().preset }, connection)
		check('Select preset takes a preset of the list', answer.ok && connection.presets.includes(current().preset))
	}
	const refused = await perform(actionTable([]).end_break, {}, connection)
	check(
		"a refused action brings CurtainUp's sentence",
		!refused.ok && refused.error === 'Not in a break.',
		refused.error,
	)

	await step(
		'Start standby for 30 s',
		'start_standby',
		{ length_s: 30, restart: false },
		(v) => v.phase === 'standby' && v.remaining_s > 20 && v.remaining_s <= 30 && v.lit.includes('time_below<60'),
	)
	await step(
		'Hold',
		'hold',
		{ from: 'companion', reason: 'e2e hold' },
		(v) => v.held && v.hold_reason === 'e2e hold' && v.lit.includes('held'),
	)
	await step('Resume', 'resume', { from: 'companion' }, (v) => !v.held && !v.lit.includes('held'))
	const before = current().remaining_s
	await step('+time 10 s', 'add_time', { seconds: 10 }, (v) => v.remaining_s >= before + 8)
	const added = current().remaining_s
	await step('−time 5 s', 'remove_time', { seconds: 5 }, (v) => v.remaining_s <= added - 3)
	const removed = current().remaining_s
	check('the time left counts down', await shows((v) => v.remaining_s < removed, 2500), `from ${removed} s`)
	await step('Go to main', 'go_main', {}, (v) => v.phase === 'main' && v.lit.includes('phase=main'), 5000)
	await step(
		'Break/Back into the break',
		'toggle_break',
		{},
		(v) => v.phase === 'break' && v.lit.includes('phase=break'),
	)
	await step('Break/Back back to main', 'toggle_break', {}, (v) => v.phase === 'main', 5000)
	await step('Ending', 'start_ending', {}, (v) => v.phase === 'ending' && v.lit.includes('phase=ending'))
	await step('Cancel', 'cancel', {}, isIdle)

	if (env.CURTAINUP_E2E_RESTART !== 'skip') {
		await step(
			'Start standby for 2 min before the restart',
			'start_standby',
			{ length_s: 120 },
			(v) => v.phase === 'standby',
		)
		await step('Hold before the restart', 'hold', { from: 'companion', reason: 'restart' }, (v) => v.held)
		const statusesBefore = statuses.length
		await observer.disconnect()
		await askForRestart()
		check('reconnects after the restart', await statusBecomes('ok', 60000))
		check('the connection was lost meanwhile', statuses.slice(statusesBefore).includes('connecting'))
		await observe()
		await showsGetState('after the restart it shows what GetState says')
		check('after the restart the standby goes on, held', current().phase === 'standby' && current().held)
		await step('Cancel after the restart', 'cancel', {}, isIdle)
	}
	await observer.disconnect()
	checkFollowed()
}

const limit = setTimeout(() => {
	check(`the run ends within ${RUN_LIMIT_MS / 60000} min`, false)
	finish()
}, RUN_LIMIT_MS)

function finish() {
	const failed = results.filter((r) => !r.passed)
	console.log(
		failed.length
			? `companion e2e: FAIL, ${failed.length} of ${results.length} checks failed: ${failed.map((r) => r.name).join('; ')}`
			: `companion e2e: PASS, ${results.length} checks`,
	)
	process.exit(failed.length ? 1 : 0)
}

run()
	.catch((error) => check('the run goes through', false, error.stack || error.message))
	.finally(async () => {
		clearTimeout(limit)
		await connection.stop()
		finish()
	})
