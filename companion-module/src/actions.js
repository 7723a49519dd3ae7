// Every CurtainUp request as a Companion action, in one table: id → name, options and the request
// it sends. `request(options, state, now)` gives { type, data }; data is left out when it would be
// empty, since obs-websocket 5.1 refuses an empty requestData object.
import { parseShowTime } from './state.js'

function ask(type, data = {}) {
	const given = Object.fromEntries(Object.entries(data).filter(([, value]) => value !== undefined))
	return Object.keys(given).length ? { type, data: given } : { type }
}

const plain = (name, type) => ({ name, options: [], request: () => ask(type) })

// A number of seconds typed in a text field; empty leaves the choice to CurtainUp's preset.
function typedSeconds(text, label, max) {
	const typed = String(text ?? '').trim()
	if (!typed) return undefined
	if (!/^\d+$/.test(typed) || Number(typed) > max) throw new Error(`${label} must be 0 to ${max} seconds.`)
	return Number(typed)
}

const FROM = {
	type: 'textinput',
	id: 'from',
	label: 'From (named in the show log; a resume from "auto…" is refused)',
	default: 'companion',
}
const REASON = { type: 'textinput', id: 'reason', label: 'Reason (optional)', default: '' }

function hold(name, on, options) {
	return {
		name,
		options,
		request: (o, state) => ask('Hold', { on: on(state), from: o.from || 'companion', reason: o.reason || undefined }),
	}
}

function addTime(name, sign) {
	return {
		name,
		options: [{ type: 'number', id: 'seconds', label: 'Seconds', default: 60, min: 1, max: 3600 }],
		request: (o) => ask('AddTime', { ms: sign * Math.round(Number(o.seconds) * 1000) }),
	}
}

const ARM_OPTIONS = [
	{
		type: 'textinput',
		id: 'show_at',
		label: "Show time: HH:MM (its next occurrence) or YYYY-MM-DD HH:MM; empty: the preset's until-time",
		default: '',
	},
	{ type: 'textinput', id: 'lead_s', label: "Go live before the show by (seconds; empty: the preset's)", default: '' },
]

function armRequest(o, now) {
	const leadSeconds = typedSeconds(o.lead_s, 'The lead', 3600)
	return ask('Arm', {
		at_ms: parseShowTime(o.show_at, now),
		lead_ms: leadSeconds === undefined ? undefined : leadSeconds * 1000,
	})
}

// The table; Select preset's list is CurtainUp's presets, read at connect and on each StateChanged.
export function actionTable(presetNames) {
	return {
		start_standby: {
			name: 'Start standby',
			options: [
				{
					type: 'number',
					id: 'length_s',
					label: "Length in seconds (0: the preset's)",
					default: 0,
					min: 0,
					max: 86400,
				},
				{ type: 'checkbox', id: 'restart', label: 'Restart while a show is armed or running', default: false },
			],
			request: (o) =>
				ask('StartStandby', {
					duration_ms: o.length_s > 0 ? Math.max(1000, Math.round(o.length_s * 1000)) : undefined,
					restart: o.restart ? true : undefined,
				}),
		},
		go_main: plain('Go to main', 'GoMain'),
		start_break: plain('Start break', 'StartBreak'),
		end_break: plain('End break', 'EndBreak'),
		toggle_break: plain('Break/Back', 'ToggleBreak'),
		start_ending: plain('Ending', 'StartEnding'),
		cancel: plain('Cancel', 'Cancel'),
		hold: hold('Hold', () => true, [FROM, REASON]),
		resume: hold('Resume', () => false, [FROM]),
		hold_toggle: hold('Hold/Resume', (state) => !state.held, [FROM, REASON]),
		add_time: addTime('+time', 1),
		remove_time: addTime('−time', -1),
		arm: { name: 'Arm', options: ARM_OPTIONS, request: (o, _state, now) => armRequest(o, now) },
		disarm: plain('Disarm', 'Disarm'),
		arm_toggle: {
			name: 'Arm/Disarm',
			options: ARM_OPTIONS,
			request: (o, state, now) => (state.armed ? ask('Disarm') : armRequest(o, now)),
		},
		select_preset: {
			name: 'Select preset',
			options: [
				{
					type: 'dropdown',
					id: 'name',
					label: 'Preset',
					choices: presetNames.map((name) => ({ id: name, label: name })),
					default: presetNames[0] ?? '',
					allowCustom: true,
				},
			],
			request: (o) => ask('SelectPreset', { name: String(o.name) }),
		},
	}
}

// Sends an action's request through the connection. Resolves to CurtainUp's answer ({ ok, error
// when refused }), or to { ok: false, error } when the request could not be made or sent.
export async function perform(action, options, connection, now = Date.now()) {
	try {
		const { type, data } = action.request(options, connection.state, now)
		return await connection.request(type, data)
	} catch (error) {
		return { ok: false, error: error.message }
	}
}
